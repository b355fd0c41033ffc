#include "dialogs/imprimir_recibo.h"

#include "common/platform.h"
#include "common/receipt_printer.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <optional>

namespace {

constexpr int RECIBO_58 = 58;
constexpr int RECIBO_80 = 80;

}   // namespace

std::optional<int> Modelo_Recibo(const QString& folder, const QString& usuario)
{
    Connection conexion(folder);
    RecordSet usuarios(conexion, Query::Usuarios, RecordSet::Mode::ReadOnlyList);
    for (; !usuarios.eof(); usuarios.moveNext()) {
        if (usuarios.text(Usuarios::NombreUsuario) != usuario)
            continue;
        if (usuarios.isNull(Usuarios::PermisoCruce))
            return std::nullopt;
        const double permiso = usuarios.number(Usuarios::PermisoCruce);
        if (permiso == RECIBO_58 || permiso == RECIBO_80)
            return int(permiso);
        return std::nullopt;
    }
    return std::nullopt;
}

QString Imprimir_Recibo_Modelo(const Platform& platform, int modelo, const Recibo& recibo)
{
    if (!platform.printer)
        return QStringLiteral("nenhuma impressora está disponível");
    try {
        if (modelo == RECIBO_58)
            Recibo_58mm(*platform.printer, recibo);
        else
            Recibo_80mm(*platform.printer, recibo);
    } catch (const PrintError& error) {
        return error.message();
    }
    return {};
}

QString Imprimir_Recibo(const Platform& platform, const QString& usuario, const Recibo& recibo)
{
    const std::optional<int> modelo = Modelo_Recibo(platform.folder, usuario);
    return modelo ? Imprimir_Recibo_Modelo(platform, *modelo, recibo) : QString();
}
