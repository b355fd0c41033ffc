#include "common/br_code.h"
#include "common/errors.h"
#include "common/pix_settings.h"
#include "common/scale_label.h"
#include "common/settings_file.h"
#include "support/settings_folder.h"

#include <QtTest>

namespace {

// The Central Bank's own example of a static code, from its BR Code manual.
const QByteArray MANUAL_EXAMPLE = "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-426655440000520400005303986"
                                  "5802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D";

QByteArray checksum(const QByteArray& payload)
{
    return QByteArray::number(crc16CcittFalse(payload.chopped(4)), 16).toUpper().rightJustified(4, '0');
}

// The value of the single field with the id; fails the test when there is not exactly one.
QByteArray only(const QList<BrCodeField>& fields, const QByteArray& id)
{
    QByteArrayList values;
    for (const BrCodeField& field : fields) {
        if (field.id == id)
            values << field.value;
    }
    if (values.size() != 1)
        QTest::qFail(("field " + id + " appears " + QByteArray::number(values.size()) + " times").constData(),
                     __FILE__, __LINE__);
    return values.value(0);
}

}   // namespace

class PixCodeTest : public QObject {
    Q_OBJECT

private slots:
    void theManualsExampleIsBuiltAndItsChecksumHolds()
    {
        QCOMPARE(crc16CcittFalse("123456789"), quint16(0x29B1));
        QCOMPARE(checksum(MANUAL_EXAMPLE), QByteArray("1D3D"));
        const PixCharge charge{"123e4567-e12b-12d1-a456-426655440000", "Fulano de Tal", "BRASILIA", std::nullopt, {}};
        QCOMPARE(brCodePayload(charge), MANUAL_EXAMPLE);
    }

    // Each kind of key, with an amount and a sale's transaction id: every
    // length is the real one (the fields put back together give the code),
    // the values are the key, the amount and the plain name and city, and
    // the checksum holds.
    void everyFieldOfASalesCode_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("city");
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("transactionId");
        QTest::addColumn<QByteArray>("amount");
        QTest::addColumn<QByteArray>("plainName");
        QTest::addColumn<QByteArray>("plainCity");
        QTest::addColumn<QByteArray>("writtenId");
        const QString saleId = pixTransactionId(7, QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2, 123)));
        QTest::newRow("CPF") << "52998224725" << "Mercearia São José" << "São Paulo" << qint64(1234) << saleId
                             << QByteArray("12.34") << QByteArray("Mercearia Sao Jose") << QByteArray("Sao Paulo")
                             << QByteArray("CX0720240305081502123");
        QTest::newRow("CNPJ") << "11222333000181" << "AÇOUGUE E PEIXARIA ÇÃ LTDA" << "Maceió" << qint64(1)
                              << "venda nº 42!" << QByteArray("0.01") << QByteArray("ACOUGUE E PEIXARIA CA LTD")
                              << QByteArray("Maceio") << QByteArray("vendan42");
        QTest::newRow("e-mail of 77 characters")
            << QString(65, u'a') + "@loja.com.br" << "Zé" << "Paranapiacaba" << qint64(999999999) << QString()
            << QByteArray("9999999.99") << QByteArray("Ze") << QByteArray("Paranapiacaba") << QByteArray("***");
        QTest::newRow("phone") << "+5511987654321" << "Padaria Pão de Açúcar Ltda" << "Itaquaquecetuba"
                               << qint64(100) << QString(30, u'9') << QByteArray("1.00")
                               << QByteArray("Padaria Pao de Acucar Ltd") << QByteArray("Itaquaquecetuba")
                               << QByteArray(25, '9');
        QTest::newRow("random key") << "123e4567-e89b-12d3-a456-426614174000" << "Feira" << "Goiânia" << qint64(50)
                                    << saleId << QByteArray("0.50") << QByteArray("Feira") << QByteArray("Goiania")
                                    << QByteArray("CX0720240305081502123");
    }

    void everyFieldOfASalesCode()
    {
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, city);
        QFETCH(qint64, cents);
        QFETCH(QString, transactionId);
        QFETCH(QByteArray, writtenId);
        const QByteArray payload = brCodePayload({key, name, city, cents, transactionId});
        const std::optional<QList<BrCodeField>> fields = brCodeFields(payload);
        QVERIFY(fields);
        QByteArrayList ids;
        QByteArray rebuilt;
        for (const BrCodeField& field : *fields) {
            ids << field.id;
            rebuilt += field.id + QByteArray::number(field.value.size()).rightJustified(2, '0') + field.value;
        }
        QCOMPARE(rebuilt, payload);
        QCOMPARE(ids, QByteArrayList({"00", "26", "52", "53", "54", "58", "59", "60", "62", "63"}));
        QCOMPARE(only(*fields, "00"), QByteArray("01"));
        QCOMPARE(brCodeFields(only(*fields, "26")),
                 QList<BrCodeField>({{"00", "br.gov.bcb.pix"}, {"01", key.toLatin1()}}));
        QCOMPARE(only(*fields, "52"), QByteArray("0000"));
        QCOMPARE(only(*fields, "53"), QByteArray("986"));
        QTEST(only(*fields, "54"), "amount");
        QCOMPARE(only(*fields, "58"), QByteArray("BR"));
        QTEST(only(*fields, "59"), "plainName");
        QTEST(only(*fields, "60"), "plainCity");
        QCOMPARE(brCodeFields(only(*fields, "62")), QList<BrCodeField>({{"05", writtenId}}));
        QCOMPARE(only(*fields, "63"), checksum(payload));
    }

    void aCodeWithNoAmountToPayIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(AppError, brCodePayload({"52998224725", "Loja", "Recife", 0, {}}));
    }

    void lengthsThatRunPastTheEndAreNotFields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("length beyond the end") << QByteArray("0002010599abc");
        QTest::newRow("length not digits") << QByteArray("00A201");
        QTest::newRow("a field cut short") << QByteArray("000201590");
    }

    void lengthsThatRunPastTheEndAreNotFields()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!brCodeFields(text));
    }

    // A key as the shop may write it: what goes into the code, or a problem
    // naming what is wrong with it.
    void keysAreCheckedByTheirKind_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("problem");
        QTest::newRow("CPF") << "52998224725" << "52998224725" << "";
        QTest::newRow("CPF with points and dash") << "529.982.247-25" << "52998224725" << "";
        QTest::newRow("CPF, last digit wrong") << "52998224726" << "" << "não é um CPF válido";
        QTest::newRow("CPF, first check digit wrong") << "529.982.247-35" << "" << "não é um CPF válido";
        QTest::newRow("CNPJ") << "11222333000181" << "11222333000181" << "";
        QTest::newRow("CNPJ with its marks") << "11.222.333/0001-81" << "11222333000181" << "";
        QTest::newRow("CNPJ, check digits wrong") << "11222333000118" << "" << "não é um CNPJ válido";
        QTest::newRow("12 digits") << "529982247250" << "" << "tem 12 dígitos";
        QTest::newRow("e-mail, lower case") << "Caixa.Loja@Exemplo.com.BR" << "caixa.loja@exemplo.com.br" << "";
        QTest::newRow("e-mail of 77 characters") << QString(65, u'a') + "@loja.com.br"
                                                 << QString(65, u'a') + "@loja.com.br" << "";
        QTest::newRow("e-mail of 78 characters") << QString(66, u'a') + "@loja.com.br" << "" << "não é um e-mail";
        QTest::newRow("e-mail with two @") << "loja@caixa@exemplo.com" << "" << "não é um e-mail";
        QTest::newRow("e-mail without a dot in the domain") << "loja@exemplo" << "" << "não é um e-mail";
        QTest::newRow("e-mail with a space") << "loja @exemplo.com" << "" << "não é um e-mail";
        QTest::newRow("mobile phone") << "+5511987654321" << "+5511987654321" << "";
        QTest::newRow("landline written with marks") << "+55 (11) 3456-7890" << "+551134567890" << "";
        QTest::newRow("phone of 9 digits") << "+55119876543" << "" << "não é um telefone";
        QTest::newRow("phone of 12 digits") << "+55119876543210" << "" << "não é um telefone";
        QTest::newRow("phone of another country") << "+15551234567" << "" << "não é um telefone";
        QTest::newRow("phone without +55") << "11987654321" << "" << "Um telefone se escreve com +55";
        QTest::newRow("random key, upper case") << "123E4567-E89B-12D3-A456-426614174000"
                                                << "123e4567-e89b-12d3-a456-426614174000" << "";
        QTest::newRow("random key, a group short") << "123e4567-e89b-12d3-a456-42661417400" << ""
                                                   << "não é uma chave aleatória";
        QTest::newRow("random key, not hexadecimal") << "123e4567-e89b-12d3-a456-42661417400g" << ""
                                                     << "nem uma chave aleatória";
        QTest::newRow("a word") << "loja" << "" << "não é um CPF, um CNPJ, um e-mail";
    }

    void keysAreCheckedByTheirKind()
    {
        QFETCH(QString, written);
        QFETCH(QString, problem);
        const PixKeyRead read = readPixKey(written);
        QTEST(read.key, "key");
        QVERIFY2(problem.isEmpty() ? read.problem.isEmpty() : read.problem.contains(problem), qPrintable(read.problem));
        QVERIFY(problem.isEmpty() || read.problem.contains(u'"' + written + u'"'));
    }

    // Pix is on only with a good key, name and city; anything wrong turns it
    // off and is reported, each problem on its line; an empty key is Pix off
    // without a word.
    void settingsTurnPixOnOnlyWhenAllIsRight_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("problems");
        const QString off = "O Pix fica desligado até que a seção [pix] seja corrigida.";
        QTest::newRow("no file") << QByteArray() << "" << QStringList();
        QTest::newRow("empty key") << QByteArray("[pix]\nchave=\nnome=\ncidade=Uma cidade longa demais\n") << ""
                                   << QStringList();
        QTest::newRow("all right, 25 and 15 letters with accents")
            << QByteArray("[pix]\nchave=529.982.247-25\nnome=Açougue São João da Praça\ncidade=São João da Boa\n")
            << "52998224725" << QStringList();
        QTest::newRow("name of 26 characters")
            << QByteArray("[pix]\nchave=+5511987654321\nnome=Mercearia Vista Alegre Ltd\ncidade=Recife\n") << ""
            << QStringList{"\"nome\" tem 26 caracteres, e o Pix aceita até 25: \"Mercearia Vista Alegre Ltd\".", off};
        QTest::newRow("city of 16 characters")
            << QByteArray("[pix]\nchave=loja@exemplo.com\nnome=Loja\ncidade=Campos do Jordão\n") << ""
            << QStringList{"\"cidade\" tem 16 caracteres, e o Pix aceita até 15: \"Campos do Jordão\".", off};
        QTest::newRow("empty name, bad CPF")
            << QByteArray("[pix]\nchave=52998224726\nnome=\ncidade=Recife\n") << ""
            << QStringList{readPixKey("52998224726").problem, "\"nome\" está vazio: escreva-o como o banco o tem.", off};
    }

    void settingsTurnPixOnOnlyWhenAllIsRight()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, problems);
        const SettingsFolder folder(file);
        const PixSettingsRead read = Ler_Configuracao_Pix(folder.path());
        QTEST(read.settings.key, "key");
        QCOMPARE(read.settings.enabled(), !read.settings.key.isEmpty());
        QCOMPARE(read.problems, settingsProblems(folder.filePath(), problems));
    }

    // A new installation's file names both features and leaves them off.
    void theDefaultFileLeavesPixAndScaleLabelsOff()
    {
        const SettingsFolder folder;
        QVERIFY(writeDefaultSettings(folder.path()));
        const PixSettingsRead pix = Ler_Configuracao_Pix(folder.path());
        const ScaleSettingsRead scale = Ler_Configuracao_Balanca(folder.path());
        QVERIFY(!pix.settings.enabled());
        QVERIFY(!scale.settings.enabled());
        QCOMPARE(pix.problems + scale.problems, QString());
        QSettings written(folder.filePath(), QSettings::IniFormat);
        QCOMPARE(written.childGroups(), QStringList({"balanca", "impressao", "loja", "pix"}));
    }
};

QTEST_GUILESS_MAIN(PixCodeTest)
#include "tst_pix_code.moc"
