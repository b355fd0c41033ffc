#pragma once

#include "common/window.h"

#include "store/data_mark.h"

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class QListView;
class Connection;
class NombresEncontrados;
class ProductNames;
class QTimer;

// The product picker: finds products by part of their name and hands the
// chosen one's code to the window that opened it. Product maintenance and
// the sale window each open it with a target of their own.
class Form10 : public Window {
    Q_OBJECT
public:
    struct Destino {
        // Takes the chosen product's code; the picker closes afterwards.
        std::function<void(const QString& codigo)> elegir;
        // Runs once the picker has closed, chosen or not, after its opener is enabled again.
        std::function<void()> alCerrar;
    };

    Form10(Platform& platform, Destino destino, QWidget* parent = nullptr);

    QLineEdit* Text1;   // search text: part of a product name
    QListView* List1;   // the names that match

    void Command1_Click();   // refresh the list from the search text
    // A key release in the search box refreshes the list once typing pauses
    // for this long, so that the box keeps up with the typing.
    static constexpr int PAUSA_DE_TECLEO_MS = 200;
    bool busquedaPendiente() const;
    // Runs at once a refresh still waiting for the pause.
    void buscarPendiente();
    // The highlighted name, or an empty text when none is.
    QString nombreResaltado() const;
    // Hands over the first product whose name equals the highlighted one,
    // letter case aside, in name order; closes the picker when one was found.
    void Confirmar();

protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool List1_KeyPress(int key, const QString& text);
    QStringList Buscar_En_Servidor(Connection& conexion) const;

    Destino destino_;
    NombresEncontrados* nombres_;
    // The catalogue's names as last read, searched again only while nothing was written since.
    std::shared_ptr<const ProductNames> catalogo_;
    std::optional<DataMark> catalogoLeido_;
    QTimer* pausa_;
};
