#include "common/br_code.h"
#include "common/pix_settings.h"
#include "common/settings_file.h"
#include "support/settings_folder.h"

#include <QtTest>

Q_DECLARE_METATYPE(PixCharge)

namespace {

// The Central Bank's own example of a static code, from its BR Code manual.
const QByteArray MANUAL_EXAMPLE = "00020126580014br.gov.bcb.pix0136123e4567-e12b-12d1-a456-426655440000520400005303986"
                                  "5802BR5913Fulano de Tal6008BRASILIA62070503***63041D3D";

QByteArray checksum(const QByteArray& payload)
{
    return QByteArray::number(crc16CcittFalse(payload.chopped(4)), 16).toUpper().rightJustified(4, '0');
}

}   // namespace

class PixCodeTest : public QObject {
    Q_OBJECT

private slots:
    void theManualsExampleIsBuiltAndItsChecksumHolds()
    {
        QCOMPARE(crc16CcittFalse("123456789"), quint16(0x29B1));
        QCOMPARE(checksum(MANUAL_EXAMPLE), QByteArray("1D3D"));
        QCOMPARE(brCodePayload({"123e4567-e12b-12d1-a456-426655440000", "Fulano de Tal", "BRASILIA", {}, {}}),
                 MANUAL_EXAMPLE);
    }

    // Each kind of key with a sale's amount and id: every length is the real
    // one (the fields put back together give the code), name and city are
    // plain and cut to 25 and 15, and the checksum holds.
    void everyFieldOfASalesCode_data()
    {
        QTest::addColumn<PixCharge>("charge");
        QTest::addColumn<QByteArrayList>("values");   // 54, 59, 60 and the id in 62
        const QString sale = pixTransactionId(7, QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2, 123)));
        const QString email = QString(65, u'a') + "@loja.com.br";
        QTest::newRow("CPF") << PixCharge{"52998224725", "Mercearia São José", "São Paulo", 1234, sale}
                             << QByteArrayList{"12.34", "Mercearia Sao Jose", "Sao Paulo", "CX0720240305081502123"};
        QTest::newRow("CNPJ") << PixCharge{"11222333000181", "AÇOUGUE E PEIXARIA ÇÃ LTDA", "Maceió", 1, "venda nº 42!"}
                              << QByteArrayList{"0.01", "ACOUGUE E PEIXARIA CA LTD", "Maceio", "vendan42"};
        QTest::newRow("e-mail of 77") << PixCharge{email, "Zé", "São José do Rio Preto", 999999999, {}}
                                      << QByteArrayList{"9999999.99", "Ze", "Sao Jose do Rio", "***"};
        QTest::newRow("phone") << PixCharge{"+5511987654321", "Pão", "Itu", 100, QString(30, u'9')}
                               << QByteArrayList{"1.00", "Pao", "Itu", QByteArray(25, '9')};
    }

    void everyFieldOfASalesCode()
    {
        QFETCH(PixCharge, charge);
        QFETCH(QByteArrayList, values);
        const QByteArray payload = brCodePayload(charge);
        const std::optional<QList<BrCodeField>> fields = brCodeFields(payload);
        QVERIFY(fields);
        QByteArrayList ids;
        QByteArray rebuilt;
        QHash<QByteArray, QByteArray> value;
        for (const BrCodeField& field : *fields) {
            ids << field.id;
            value[field.id] = field.value;
            rebuilt += field.id + QByteArray::number(field.value.size()).rightJustified(2, '0') + field.value;
        }
        QCOMPARE(rebuilt, payload);
        QCOMPARE(ids, QByteArrayList({"00", "26", "52", "53", "54", "58", "59", "60", "62", "63"}));
        QCOMPARE(brCodeFields(value["26"]),
                 QList<BrCodeField>({{"00", "br.gov.bcb.pix"}, {"01", charge.key.toLatin1()}}));
        QCOMPARE(QByteArrayList({value["00"], value["52"], value["53"], value["58"]}),
                 QByteArrayList({"01", "0000", "986", "BR"}));
        QCOMPARE(QByteArrayList({value["54"], value["59"], value["60"]}), values.mid(0, 3));
        QCOMPARE(brCodeFields(value["62"]), QList<BrCodeField>({{"05", values[3]}}));
        QCOMPARE(value["63"], checksum(payload));
    }

    // A key as the shop may write it: what goes into the code, or a problem
    // naming the key and what is wrong with it.
    void keysAreCheckedByTheirKind_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("problem");
        QTest::newRow("CPF with its marks") << "529.982.247-25" << "52998224725" << "";
        QTest::newRow("CPF, last digit wrong") << "52998224726" << "" << "não é um CPF válido";
        QTest::newRow("CNPJ with its marks") << "11.222.333/0001-81" << "11222333000181" << "";
        QTest::newRow("CNPJ, check digits wrong") << "11222333000118" << "" << "não é um CNPJ válido";
        QTest::newRow("12 digits") << "529982247250" << "" << "tem 12 dígitos";
        QTest::newRow("e-mail, lower case") << "Caixa.Loja@Exemplo.com.BR" << "caixa.loja@exemplo.com.br" << "";
        QTest::newRow("e-mail of 78") << QString(66, u'a') + "@loja.com.br" << "" << "não é um e-mail";
        QTest::newRow("e-mail, domain without a dot") << "loja@exemplo" << "" << "não é um e-mail";
        QTest::newRow("landline with marks") << "+55 (11) 3456-7890" << "+551134567890" << "";
        QTest::newRow("phone of 9 digits") << "+55119876543" << "" << "não é um telefone";
        QTest::newRow("phone of another country") << "+15551234567" << "" << "não é um telefone";
        QTest::newRow("phone without +55") << "11987654321" << "" << "Um telefone se escreve com +55";
        QTest::newRow("random key, upper case") << "123E4567-E89B-12D3-A456-426614174000"
                                                << "123e4567-e89b-12d3-a456-426614174000" << "";
        QTest::newRow("random key, a group short") << "123e4567-e89b-12d3-a456-42661417400" << ""
                                                   << "não é uma chave aleatória";
        QTest::newRow("a word") << "loja" << "" << "não é um CPF, um CNPJ, um e-mail";
    }

    void keysAreCheckedByTheirKind()
    {
        QFETCH(QString, written);
        QFETCH(QString, problem);
        const PixKeyRead read = readPixKey(written);
        QTEST(read.key, "key");
        QCOMPARE(read.problem.contains(problem) && read.problem.contains(u'"' + written + u'"'), !problem.isEmpty());
    }

    // Pix is on only with a good key, name and city; anything wrong turns it
    // off and is reported, a problem a line; an empty key is Pix off, silently.
    void settingsTurnPixOnOnlyWhenAllIsRight_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("problems");
        const QString off = "O Pix fica desligado até que a seção [pix] seja corrigida.";
        QTest::newRow("empty key") << QByteArray("[pix]\nchave=\nnome=\ncidade=Uma cidade longa demais\n") << ""
                                   << QStringList();
        QTest::newRow("25 and 15 letters with accents")
            << QByteArray("[pix]\nchave=52998224725\nnome=Açougue São João da Praça\ncidade=São João da Boa\n")
            << "52998224725" << QStringList();
        QTest::newRow("name of 26, city of 16")
            << QByteArray("[pix]\nchave=+5511987654321\nnome=Mercearia Vista Alegre Ltd\ncidade=Campos do Jordão\n")
            << "" << QStringList{"\"nome\" tem 26 caracteres, e o Pix aceita até 25: \"Mercearia Vista Alegre Ltd\".",
                                 "\"cidade\" tem 16 caracteres, e o Pix aceita até 15: \"Campos do Jordão\".", off};
        QTest::newRow("empty name, bad CPF")
            << QByteArray("[pix]\nchave=52998224726\nnome=\ncidade=Recife\n") << ""
            << QStringList{readPixKey("52998224726").problem, "\"nome\" está vazio: escreva-o como o banco o tem.",
                           off};
    }

    void settingsTurnPixOnOnlyWhenAllIsRight()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, problems);
        const SettingsFolder folder(file);
        const PixSettingsRead read = Ler_Configuracao_Pix(folder.path());
        QTEST(read.settings.key, "key");
        QCOMPARE(read.problems, settingsProblems(folder.filePath(), problems));
    }
};

QTEST_GUILESS_MAIN(PixCodeTest)
#include "tst_pix_code.moc"
