#include "app/programa.h"
#include "common/clock.h"
#include "common/data_folder.h"
#include "common/number_settings.h"
#include "common/pix_settings.h"
#include "common/platform.h"
#include "common/prompter.h"
#include "common/scale_label.h"
#include "common/screen.h"
#include "common/shop_settings.h"
#include "devices/receipt_devices.h"
#include "devices/xlsx_spreadsheet.h"
#include "users/program_start.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int at = 0; at < argc; ++at)
        arguments.append(QString::fromLocal8Bit(argv[at]));
    if (const std::optional<int> exitCode = Comprobar_Pantalla(arguments))
        return *exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(PROGRAM_TITLE);
    NumberSettings::setCurrent(NumberSettings::fromSystemLocale());

    MessageBoxPrompter prompter;
    SystemClock clock;
    DisplayScreen screen;
    const QString folder = Pasta_Dados(QCoreApplication::arguments(), qEnvironmentVariable(DATA_FOLDER_VARIABLE),
                                       QCoreApplication::applicationDirPath());
    XlsxSpreadsheet spreadsheet(clock);
    const PrinterSettingsRead printing = Ler_Configuracao_Impressao(folder);
    ReceiptDevices receipts(printing.settings);
    Platform platform{prompter, clock, screen, folder, receipts.printer()};
    platform.spreadsheet = &spreadsheet;
    platform.drawer = receipts.drawer();
    const ShopSettingsRead shop = Ler_Configuracao_Loja(folder);
    const PixSettingsRead pix = Ler_Configuracao_Pix(folder);
    const ScaleSettingsRead scale = Ler_Configuracao_Balanca(folder);
    platform.pix = pix.settings;
    platform.scale = scale.settings;
    platform.till = shop.settings.till;
    QStringList problems{printing.problems, shop.problems, pix.problems, scale.problems};
    problems.removeAll(QString());
    if (!problems.isEmpty())
        prompter.exclamation(problems.join(u'\n'), PROGRAM_TITLE);
    return Ejecutar_Programa(platform);
}
