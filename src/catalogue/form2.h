#pragma once

#include "common/window.h"
#include "store/data_mark.h"

#include <memory>
#include <optional>
#include <vector>

class Connection;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class ProductRows;
class QPushButton;
class RecordSet;
struct QueryText;
class ReportList;

// Product maintenance: a product is looked up by its code, then created,
// changed or deleted; the list below shows the whole catalogue.
class Form2 : public Window {
    Q_OBJECT
public:
    explicit Form2(Platform& platform, QWidget* parent = nullptr);

    QWidget* Picture1;       // the panel every control sits on
    QLabel* Label1;          // heading
    QFrame* Frame1;          // the entry boxes
    QLabel* Label2;
    QLineEdit* Text1;        // code
    QPushButton* Command7;   // "Buscar": the product picker
    QLabel* Label3;
    QLineEdit* Text2;        // name
    QLabel* Label4;
    QLineEdit* Text3;        // quantity in stock
    QLabel* Label5;
    QLineEdit* Text4;        // cost price
    QLabel* Label6;
    QLineEdit* Text5;        // sale price
    QLabel* Label7;
    QLineEdit* Text6;        // critical stock
    QLabel* Label8;
    QComboBox* Combo2;       // category
    QFrame* Frame2;          // the actions
    QPushButton* Command3;   // "Salvar"
    QPushButton* Command4;   // "Excluir"
    QPushButton* Command5;   // "cancelar"
    QLabel* Label9;
    QComboBox* Combo1;       // sort order of the list
    ReportList* ListView1;   // the catalogue

    // The copy of the product found by the last successful lookup: code,
    // name, quantity, cost price, sale price, critical stock, category.
    QString Text7, Text8, Text9, Text10, Text11, Text12, Text13;
    // On after a lookup found its code: a save changes that product instead of adding one.
    bool editandoExistente() const { return m_; }

    void Buscar_Producto();
    void Command3_Click();   // save
    void Command4_Click();   // delete
    void Command5_Click();   // cancel
    void Command7_Click();   // picker
    void Combo1_Click();
    void ListView1_Click();

protected:
    void Form_Load() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void construirControles();
    void conectarEventos();
    void Text1_Enter();

    void Preparar_Lista();
    void Cargar_Lista();
    void Listar(const QueryText& ids);
    void Cargar_Categorias();
    void Habilitar_Edicion();
    void Bloquear_Edicion();
    static QStringList Campos(const RecordSet& producto);
    void Mostrar_Producto(const QStringList& campos);
    void Copiar_Producto(const QStringList& campos);
    void Limpiar_Campos();
    void Asignar_Campos(RecordSet& producto);
    void Volver_A_Inicio();
    bool Faltan_Datos() const;
    bool Numeros_Validos() const;
    bool Nombre_Repetido(const QString& nombre) const;

    // The saved product's row id, whether the list shown held the catalogue
    // as it was just before the save, and then the product's place in it
    // (none when it comes after the rows the list has read so far).
    struct Guardado {
        qint64 rowId = 0;
        bool listaAlDia = false;
        std::optional<qsizetype> lugar;
    };
    Guardado Guardar();
    bool Lista_Al_Dia(Connection& conexion) const;
    void Colocar_En_Lista(const Guardado& guardado);
    void Quitar_De_Lista(const std::vector<qint64>& quitados, bool listaAlDia);
    void Mostrar_Lista();

    bool m_ = false;
    // The entries of the list as shown, whether they are in name order, and
    // the data they were read from. A save or a delete that finds nothing
    // written since (by this window or any other program) changes just the
    // entries it touches, which gives the list a new listing would; otherwise
    // the list is read again.
    std::shared_ptr<ProductRows> filas_;
    bool listaPorNombre_ = false;
    std::optional<DataMark> listaLeida_;
    // The distinct categories as last read, offered again by a lookup only
    // while nothing was written since.
    QStringList categorias_;
    std::optional<DataMark> categoriasLeidas_;
};
