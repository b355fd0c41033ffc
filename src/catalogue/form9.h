#pragma once

#include "catalogue/exportar_excel.h"
#include "common/window.h"

#include <QVariantList>

#include <functional>
#include <memory>

class Connection;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class RecordSet;
class ReportList;
class StockTotal;
struct QueryText;
struct SteppedListing;

// The stock report: lists the catalogue by part of the name, by code, by
// category or in critical state, with each product's stock value and the
// total investment, and exports the listing to a spreadsheet. It never
// changes the catalogue.
class Form9 : public Window {
    Q_OBJECT
public:
    explicit Form9(Platform& platform, QWidget* parent = nullptr);
    ~Form9() override;

    QWidget* Picture1;
    QLabel* Label1;           // "ESTOQUE COMPLETO"
    QRadioButton* Option1;    // "Nome do Produto"
    QRadioButton* Option2;    // "Código do Produto"
    QRadioButton* Option3;    // "Por Categoria"
    QLineEdit* Text1;         // part of the name
    QLineEdit* Text2;         // product code
    QComboBox* Combo1;        // category
    QPushButton* Command2;    // "BUSCAR"
    QPushButton* Command3;    // "Estoque Crítico"
    QPushButton* Command1;    // "Exportar"
    QProgressBar* ProgressBar1;
    ReportList* ListView1;
    QLabel* Label2;           // the total line

    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Buscar();
    void Command3_Click();
    void Command1_Click();

protected:
    void Form_Load() override;

private:
    void construirControles();
    void conectarEventos();
    void Preparar_Lista();
    void Centrar_Panel();
    void Deshabilitar_Busquedas();
    void Buscar_Nombre();
    void Buscar_Codigo();
    void Buscar_Categoria();
    void Calcular_Inversion();
    void Colores_Busqueda();
    void Mostrar_Filas(QList<QStringList> filas);
    void Mostrar_Productos(Connection& conexion, const SteppedListing& listado, const QueryText& valores,
                           const QueryText& productos);
    void Mostrar_Busqueda(Connection& conexion, const QString& texto);
    void Sumar_Inversion(Connection& conexion, const QueryText& valores, const QVariantList& parametros = {});
    void Seguir_Inversion();
    void Parar_Inversion();
    void Terminar_Listado(QWidget* box, const QString& sinResultado);
    void Limpiar_Modo(bool vaciarCodigo);
    struct Columnas;
    using Incluir = std::function<bool(const RecordSet&, const Columnas&)>;
    static QList<QStringList> Leer_Filas(RecordSet& productos, const Incluir& incluir = {});
    static QStringList Agregar_Fila(const RecordSet& productos, const Columnas& columnas, int item);
    static QStringList Textos_De(const RecordSet& producto);

    // The stock value at cost of a listing read as row ids, summed in steps
    // while the window is idle (none for a listing kept as texts), and
    // whether the total line shows it once complete.
    std::unique_ptr<StockTotal> inversion_;
    QTimer* pasosInversion_;
    bool muestraInversion_ = false;
    // The listing the store walks again for the export; nothing for one kept as texts.
    std::optional<StockListing> listado_;
};
