#include "dialogs/form10.h"

#include "common/control_characters.h"

#include "store/connection.h"
#include "store/fields.h"
#include "store/like_match.h"
#include "store/operations.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QAbstractListModel>
#include <QTimer>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool letraODigito(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

}   // namespace

// The names found, made into texts only as they are shown or read: the
// positions of the matching names among the catalogue's names, or the names
// a server's search gave.
class NombresEncontrados : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid())
            return 0;
        return catalogo_ ? int(posiciones_.size()) : int(textos_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        if (!catalogo_)
            return textos_[index.row()];
        return controlCharactersAsSpaces(QString::fromUtf8(catalogo_->utf8(posiciones_[size_t(index.row())])));
    }

    void mostrar(std::shared_ptr<const ProductNames> catalogo, std::vector<qsizetype> posiciones)
    {
        beginResetModel();
        catalogo_ = std::move(catalogo);
        posiciones_ = std::move(posiciones);
        textos_.clear();
        endResetModel();
    }

    void mostrar(QStringList textos)
    {
        beginResetModel();
        catalogo_.reset();
        posiciones_.clear();
        textos_ = std::move(textos);
        endResetModel();
    }

private:
    std::shared_ptr<const ProductNames> catalogo_;
    std::vector<qsizetype> posiciones_;
    QStringList textos_;
};

Form10::Form10(Platform& platform, Destino destino, QWidget* parent)
    : Window(platform, parent), destino_(std::move(destino)), nombres_(new NombresEncontrados(this)),
      pausa_(new QTimer(this))
{
    pausa_->setSingleShot(true);
    pausa_->setInterval(PAUSA_DE_TECLEO_MS);
    on(pausa_, &QTimer::timeout, [this] { Command1_Click(); });
    setClientSizeTwips(6375, 6000);
    Text1 = new QLineEdit(centralWidget());
    List1 = new QListView(centralWidget());
    List1->setModel(nombres_);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    declareControls({
        {Text1, "Text1", 120, 120, 6135, 495, {}, 14},
        {List1, "List1", 120, 720, 6135, 5160, {}, 12},
    });
    setTabOrder(Text1, List1);
    // A double click on a name chooses it, as Enter does: the press has highlighted it.
    on(List1, &QListView::doubleClicked, [this] { Confirmar(); });
    Text1->installEventFilter(this);
    List1->installEventFilter(this);
    if (destino_.alCerrar)
        connect(this, &Window::closed, this, [this] { run(destino_.alCerrar); });
}

// Opens the catalogue once, so that a missing or locked file shows at once.
void Form10::Form_Load()
{
    Connection conexion(platform().folder);
    RecordSet productos(conexion, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
    Text1->setFocus();
}

bool Form10::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyRelease) {
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            pausa_->stop();
            close();
        } else {
            pausa_->start();
        }
        return false;
    }
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return List1_KeyPress(key->key(), key->text());
    }
    // The list shows the names of what was typed, and a highlight, as soon as
    // it has the keyboard, so that Enter has a name to confirm.
    if (watched == List1 && event->type() == QEvent::FocusIn) {
        run([this] { buscarPendiente(); });
        if (nombres_->rowCount() > 0 && !List1->selectionModel()->hasSelection())
            List1->setCurrentIndex(nombres_->index(0));
    }
    return Window::eventFilter(watched, event);
}

// The search text is bound as a literal: "%", "_" and the apostrophe match themselves.
// On bd1 the catalogue's names are read once and searched again at each
// refresh while nothing is written (by the program or another), folded as
// the engine's like folds them; a store that cannot tell (a shop's server) runs the
// search itself every time.
void Form10::Command1_Click()
{
    pausa_->stop();
    nombres_->mostrar(QStringList());
    Connection conexion(platform().folder);
    const std::optional<DataMark> ahora = conexion.dataMark();
    if (!ahora) {
        nombres_->mostrar(Buscar_En_Servidor(conexion));
        return;
    }
    if (!catalogo_ || ahora != catalogoLeido_) {
        catalogo_.reset();
        catalogo_ = std::make_shared<const ProductNames>(productNames(conexion));
        catalogoLeido_ = ahora;
    }
    nombres_->mostrar(catalogo_, catalogo_->containing(Text1->text()));
}

QStringList Form10::Buscar_En_Servidor(Connection& conexion) const
{
    RecordSet productos(conexion, Query::NombresBusqueda, QVariantList{likeLiteral(Text1->text())},
                        RecordSet::Mode::ReadOnlyList);
    const int nombre = productos.column(Productos::NombreProducto);
    QStringList nombres;
    for (; !productos.eof(); productos.moveNext())
        nombres.append(controlCharactersAsSpaces(productos.text(nombre)));
    return nombres;
}

bool Form10::busquedaPendiente() const
{
    return pausa_->isActive();
}

void Form10::buscarPendiente()
{
    if (pausa_->isActive())
        Command1_Click();
}

// Letters and digits move the highlight to the next name starting with them;
// Enter confirms, Escape closes; any other typed character, the space
// included, is swallowed. True when the key was consumed.
bool Form10::List1_KeyPress(int key, const QString& text)
{
    if (isEnter(key)) {
        run([this] { Confirmar(); });
        return true;
    }
    if (key == Qt::Key_Escape) {
        close();
        return true;
    }
    if (key == Qt::Key_Backspace || text.isEmpty() || !text.at(0).isPrint())
        return false;
    if (text.size() != 1 || !letraODigito(text.at(0)))
        return true;
    const int total = nombres_->rowCount();
    const int desde = List1->currentIndex().isValid() ? List1->currentIndex().row() : -1;
    for (int paso = 1; paso <= total; ++paso) {
        const int fila = (desde + paso) % total;
        if (nombres_->index(fila).data().toString().startsWith(text, Qt::CaseInsensitive)) {
            List1->setCurrentIndex(nombres_->index(fila));
            break;
        }
    }
    return true;
}

QString Form10::nombreResaltado() const
{
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

void Form10::Confirmar()
{
    const QString nombre = nombreResaltado();
    if (nombre.isEmpty())
        return;
    const auto igual = [&nombre](const QString& nombreLeido) {
        return controlCharactersAsSpaces(nombreLeido).compare(nombre, Qt::CaseInsensitive) == 0;
    };
    std::optional<QString> codigo;
    {
        // Only the names that fold as this one are read. A name that differs
        // from it by a line break or tab shown as a space, or by the case of a
        // letter the Portuguese order does not fold, is found by the walk of
        // the whole catalogue when no other is (not before one that folds alike).
        Connection conexion(platform().folder);
        codigo = firstCodeAmongNamed(conexion, nombre, igual);
        if (!codigo) {
            RecordSet productos(conexion, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
            for (; !productos.eof() && !codigo; productos.moveNext()) {
                if (igual(productos.text(Productos::NombreProducto)))
                    codigo = productos.text(Productos::CodigoProducto);
            }
        }
    }
    if (!codigo)
        return;
    if (destino_.elegir)
        destino_.elegir(*codigo);
    close();
}
