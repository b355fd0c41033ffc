#pragma once

#include "common/window.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// User maintenance: a typed name is looked up on Enter; a known user has its
// password and receipt choice changed, an unknown name becomes a new user.
// Any user but "admin" can be deleted.
class Form8 : public Window {
    Q_OBJECT
public:
    explicit Form8(Platform& platform, QWidget* parent = nullptr);

    QLabel* Label1;          // "ALTERAR SENHA"
    QLabel* Label2;
    QLineEdit* Text1;        // user name
    QLabel* Label3;
    QLineEdit* Text2;        // password, shown as typed
    QComboBox* Combo1;       // receipt choice
    QPushButton* Command3;   // "Salvar"
    QPushButton* Command4;   // "Excluir"
    QPushButton* Command5;   // "Cancelar"

    // The receipt code of the choice: "0", "58", "80", or "1" while no choice was made.
    QString Text3;
    // An existing user was loaded by the last lookup.
    bool m = false;

    void Buscar_Usuario();
    void Combo1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

protected:
    void Form_Load() override;

private:
    void construirControles();
    void conectarEventos();
    void Habilitar_Edicion();
    void Bloquear_Edicion();
    void Limpiar_Campos();
    void Cargar_Usuario(double permiso, const QString& contrasena);
};
