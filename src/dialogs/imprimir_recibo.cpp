#include "dialogs/imprimir_recibo.h"

#include "common/platform.h"
#include "common/receipt_printer.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <optional>

namespace {

constexpr double RECIBO_58 = 58;
constexpr double RECIBO_80 = 80;

// The receipt choice of the first row of the user, in the table's own order.
std::optional<double> Leer_Permiso(const QString& folder, const QString& usuario)
{
    Connection conexion(folder);
    RecordSet usuarios(conexion, Query::Usuarios, RecordSet::Mode::ReadOnlyList);
    for (; !usuarios.eof(); usuarios.moveNext()) {
        if (usuarios.text(QStringLiteral("NombreUsuario")) == usuario) {
            if (usuarios.isNull(QStringLiteral("PermisoCruce")))
                return std::nullopt;
            return usuarios.number(QStringLiteral("PermisoCruce"));
        }
    }
    return std::nullopt;
}

}   // namespace

QString Imprimir_Recibo(const Platform& platform, const QString& usuario, const Recibo& recibo)
{
    const std::optional<double> permiso = Leer_Permiso(platform.folder, usuario);
    if (permiso != RECIBO_58 && permiso != RECIBO_80)
        return {};
    if (!platform.printer)
        return QStringLiteral("nenhuma impressora está disponível");
    try {
        if (permiso == RECIBO_58)
            Recibo_58mm(*platform.printer, recibo);
        else
            Recibo_80mm(*platform.printer, recibo);
    } catch (const PrintError& error) {
        return error.message();
    }
    return {};
}
