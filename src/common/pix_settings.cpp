#include "common/pix_settings.h"

#include "common/br_code.h"
#include "common/plain_text.h"
#include "common/settings_file.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int EMAIL_LENGTH = 77;

const QString KEY = QStringLiteral("pix/chave");
const QString NAME = QStringLiteral("pix/nome");
const QString CITY = QStringLiteral("pix/cidade");

QString withoutSeparators(QString text, const QString& separators)
{
    for (const QChar separator : separators)
        text.remove(separator);
    return text;
}

bool allDigits(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The check digit of a CPF or CNPJ over its first digits, each weighed
// from the right by 2, 3, … up to the highest weight and then from 2 again.
int checkDigit(const QString& digits, int count, int highestWeight)
{
    int sum = 0;
    int weight = 2;
    for (int i = count - 1; i >= 0; --i) {
        sum += digits[i].digitValue() * weight;
        weight = weight == highestWeight ? 2 : weight + 1;
    }
    const int rest = sum % 11;
    return rest < 2 ? 0 : 11 - rest;
}

// A CPF (highest weight 11) or a CNPJ (highest weight 9): the last two digits check the ones before.
bool checkDigitsHold(const QString& digits, int highestWeight)
{
    const int size = int(digits.size());
    return checkDigit(digits, size - 2, highestWeight) == digits[size - 2].digitValue() &&
           checkDigit(digits, size - 1, highestWeight) == digits[size - 1].digitValue();
}

PixKeyRead valid(const QString& key)
{
    return {key, {}};
}

PixKeyRead invalid(const QString& problem)
{
    return {{}, problem};
}

PixKeyRead readEmail(const QString& text)
{
    static const QRegularExpression email(
        QStringLiteral(R"(^[A-Za-z0-9.!#$%&'*+/=?^_`{|}~-]+@[A-Za-z0-9-]+(\.[A-Za-z0-9-]+)+$)"));
    if (text.size() > EMAIL_LENGTH || !email.match(text).hasMatch())
        return invalid(QStringLiteral("A chave Pix \"%1\" não é um e-mail válido: use um só @ e um domínio com "
                                      "ponto, como loja@exemplo.com.br, com até %2 caracteres.")
                           .arg(text)
                           .arg(EMAIL_LENGTH));
    return valid(text.toLower());
}

PixKeyRead readPhone(const QString& text)
{
    static const QRegularExpression phone(QStringLiteral(R"(^\+55\d{10,11}$)"));
    const QString written = withoutSeparators(text, QStringLiteral(" -()"));
    if (!phone.match(written).hasMatch())
        return invalid(QStringLiteral("A chave Pix \"%1\" não é um telefone válido: escreva +55, o DDD e o número, "
                                      "como +5511987654321.")
                           .arg(text));
    return valid(written);
}

PixKeyRead readDocument(const QString& text, const QString& digits)
{
    if (digits.size() == 11 && checkDigitsHold(digits, 11))
        return valid(digits);
    if (digits.size() == 14 && checkDigitsHold(digits, 9))
        return valid(digits);
    if (digits.size() == 11 || digits.size() == 14)
        return invalid(QStringLiteral("A chave Pix \"%1\" não é um %2 válido: os dígitos verificadores não conferem. "
                                      "Um telefone se escreve com +55 na frente.")
                           .arg(text, digits.size() == 11 ? QStringLiteral("CPF") : QStringLiteral("CNPJ")));
    return invalid(QStringLiteral("A chave Pix \"%1\" tem %2 dígitos: um CPF tem 11 e um CNPJ, 14.")
                       .arg(text)
                       .arg(digits.size()));
}

PixKeyRead notAKey(const QString& text)
{
    return invalid(QStringLiteral("A chave Pix \"%1\" não é um CPF, um CNPJ, um e-mail, um telefone (+55 com DDD) "
                                  "nem uma chave aleatória (como 123e4567-e89b-12d3-a456-426614174000).")
                       .arg(text));
}

QString lengthProblem(const QString& key, const QString& value, int most)
{
    const QString what = key.section(u'/', 1);
    if (value.isEmpty())
        return QStringLiteral("\"%1\" está vazio: escreva-o como o banco o tem.").arg(what);
    const qsizetype length = toPlainAscii(value).size();
    if (length > most)
        return QStringLiteral("\"%1\" tem %2 caracteres, e o Pix aceita até %3: \"%4\".")
            .arg(what)
            .arg(length)
            .arg(most)
            .arg(value);
    return {};
}

}   // namespace

PixKeyRead readPixKey(const QString& text)
{
    static const QRegularExpression uuid(
        QStringLiteral("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hexAndDashes(QStringLiteral("^[0-9a-f-]*[a-f][0-9a-f-]*$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    if (text.contains(u'@'))
        return readEmail(text);
    if (text.startsWith(u'+'))
        return readPhone(text);
    if (uuid.match(text).hasMatch())
        return valid(text.toLower());
    if (hexAndDashes.match(text).hasMatch())
        return invalid(QStringLiteral("A chave Pix \"%1\" não é uma chave aleatória válida: são 32 dígitos "
                                      "hexadecimais em grupos de 8, 4, 4, 4 e 12, separados por traços.")
                           .arg(text));
    if (const QString digits = withoutSeparators(text, QStringLiteral(".-/")); allDigits(digits))
        return readDocument(text, digits);
    return notAKey(text);
}

PixSettingsRead Ler_Configuracao_Pix(const QString& folder)
{
    const QString path = settingsPath(folder);
    PixSettingsRead read;
    if (!QFileInfo::exists(path))
        return read;
    const SettingsReader reader(path);
    const QString written = reader.text(KEY);
    if (written.isEmpty())
        return read;
    const PixKeyRead key = readPixKey(written);
    const PixSettings settings{key.key, reader.text(NAME), reader.text(CITY)};
    QStringList problems{key.problem, lengthProblem(NAME, settings.name, PIX_NAME_LENGTH),
                         lengthProblem(CITY, settings.city, PIX_CITY_LENGTH)};
    problems.removeAll(QString());
    if (problems.isEmpty()) {
        read.settings = settings;
        return read;
    }
    problems << QStringLiteral("O Pix fica desligado até que a seção [pix] seja corrigida.");
    read.problems = settingsProblems(path, problems);
    return read;
}
