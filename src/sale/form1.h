#pragma once

#include "common/scale_label.h"
#include "common/venta_actual.h"
#include "common/window.h"
#include "dialogs/cobro.h"
#include "sale/registro_venta.h"
#include "sale/sesion_venta.h"

#include <QDateTime>
#include <QHash>
#include <QPointer>

#include <functional>
#include <optional>

class EnvioVentas;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ReportList;
struct ReportColumn;

// The columns of the sale list on screen: titles, widths in twips, alignments.
const QList<ReportColumn>& columnasListaVenta();

// The sale window: the cashier's counter for the whole run. It rings up the
// current sale by product code, keeps the running total and warns when a
// product reaches its critical stock.
class Form1 : public Window, public Cobro, public SesionVenta {
    Q_OBJECT
public:
    explicit Form1(Platform& platform, QWidget* parent = nullptr);
    ~Form1() override;

    // The window's state. Other windows reach it only through the operations
    // of Cobro and SesionVenta; the composition root, the tests and the
    // benchmarks read and set it here.
    QString Text1;    // screen width in pixels
    QString Text2;    // screen height in pixels
    QString Text3;    // "fecha inicio": session start, "dd/mm/yyyy h:mm:ss"
    QString Text4;    // "usuario": the logged-in user
    QString Text10;   // "tipo pago": "EFECTIVO", "TARJETA" or "PIX"
    QString Text11;   // "paga con": amount tendered
    QString Text12;   // "vuelto": change

    // The current sale, the authoritative copy of what ListView1 shows.
    const VentaActual& venta() const override { return venta_; }
    QString usuario() const override { return Text4; }

    void Leer_Resolucion();
    void Centrar_Panel();
    void Preparar_Listas();
    void Agregar_Producto();
    void Agregar_Producto(const std::optional<ProductoLeido>& producto);
    void Calcular_Total();
    void Mostrar_Total();
    void Limpiar_Venta();

    void Command1_Click();
    void Command2_Click();

    // The day session (form1_sesion.cpp).
    void Abrir_Sesion(const QString& usuario) override;
    QString Inicio_Sesion() const override { return Text3; }
    void Restaurar_Inicio() override;

    // The window a menu item (by its name) opens; an item with none does nothing.
    using FabricaVentana = std::function<Window*()>;
    void Registrar_Ventana(const QString& item, FabricaVentana fabrica);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The product picker (form1_picker.cpp): the chosen product's code waits
    // in the code box for its quantity; without a choice the code box takes the focus.
    void Command3_Click();
    void Elegir_Producto(const QString& codigo);
    void Volver_Del_Selector();

    // Paying (form1_registro.cpp). The payment dialog hands over the payment
    // and has the current sale recorded, which clears the window for the
    // next customer. Returns a copy of the sale as recorded; none when the
    // sale is empty (nothing is touched) or the recording failed (the sale
    // stays on screen and the cashier has seen why).
    std::optional<VentaRegistrada> CobrarEfectivo(const QString& pagaCon, const QString& vuelto) override;
    std::optional<VentaRegistrada> CobrarTarjeta() override;
    std::optional<VentaRegistrada> CobrarPix() override;
    void Devolver_Venta() override;
    std::optional<VentaRegistrada> guardar_Click();
    VentaRegistrada Registrar_Venta();
    Window* pago() const { return pago_; }   // the payment dialog while it is open

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Reanudar() override;

private:
    // The controls, by the names the window's design gives them; the window
    // keeps them to itself (tests find them by those names).
    QWidget* Picture1;
    QLabel* Label13;
    ReportList* ListView1;   // the sale on screen, row for row with the sale's lines
    QLabel* Label17;         // critical-stock warning: the product's name
    QCheckBox* Check1;       // "Quantidade Manual"
    QWidget* Picture2;
    QFrame* Frame2;          // entry panel
    QFrame* Frame3;          // total panel
    QLabel* Label18;         // "DEDUZIR PRODUTO"
    QLabel* Label5;
    QLineEdit* Text7;        // product code
    QPushButton* Command3;   // product picker
    QPushButton* Command1;   // "PAGAR"
    QLabel* Label6;
    QLineEdit* Text8;        // quantity
    QPushButton* Command2;   // "CANCELAR"
    QLabel* Label7;
    QLabel* Label8;          // the total
    QTimer* Timer2;          // one shot, a second after a load that continued the earlier session
    QLabel* Label19;         // a till on a server: the server away, the sales waiting to be sent

    void construirControles();
    void conectarEventos();

    // Entry of products (form1_entrada.cpp).
    void Text7_Enter();
    void Text8_Enter();
    void Check1_Click();
    void Mostrar_Linea(const VentaActual::Cambio& cambio);
    void Mostrar_Lista();
    void Reiniciar_Entrada();
    void Verificar_Stock_Critico(const ProductoLeido& producto);
    void Pintar_Cantidad(const QColor& color);
    std::optional<ProductoLeido> Buscar_Producto(const QString& codigo);
    bool Leer_Etiqueta(const QString& codigo);
    void Vender_Etiqueta(const QString& codigo, const ScaleLabel& etiqueta);
    template <typename Action>
    void Proteger_Entrada(Action&& action);

    // Day session (form1_sesion.cpp).
    void Preparar_Sesion();
    void Preguntar_Sesion(bool sesionPendiente);
    void Timer2_Timer();
    void Cerrar_Otras_Ventanas();
    bool Cierre_Aplazado();

    // Away from the shop's server (form1_envio.cpp).
    void Iniciar_Envio();
    void Venta_Guardada_Para_Servidor();
    void Mostrar_Envio(const QString& recusa);
    qint64 Ventas_Aguardando();

    // Deduct mode (form1_deduccion.cpp).
    void Text7_KeyDown(int tecla);
    void Deducir_Producto();
    void Deducir_Etiqueta(const QString& codigo);
    void Mostrar_Deduccion();

    // Reprint of the last recorded sale's receipt (form1_reimpresion.cpp).
    void Reimprimir_Recibo();
    QString Reimpresion();

    // Menu (form1_menu.cpp).
    void Preparar_Menu();
    void agregarItem(QWidget* menu, const char* nombre, const QString& titulo);
    void Abrir_Desde_Menu(const QString& item);

    VentaActual venta_;
    // A till on a shop's server: what sends the sales its outbox keeps.
    EnvioVentas* envio_ = nullptr;
    QHash<QString, FabricaVentana> ventanas_;
    QPointer<Window> pago_;
};
