#pragma once

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QTimer;
class QWidget;
class ReportList;

// The sale window's controls, found by the names its design gives them, as
// the cashier finds them on the screen: the window keeps them to itself.
struct SaleControls {
    QWidget* Picture1;
    ReportList* ListView1;
    QLabel* Label17;
    QCheckBox* Check1;
    QFrame* Frame2;
    QLabel* Label18;
    QLineEdit* Text7;
    QPushButton* Command3;
    QPushButton* Command1;
    QLineEdit* Text8;
    QPushButton* Command2;
    QLabel* Label8;
    QTimer* Timer2;
    QLabel* Label19;
};

SaleControls ui(const QObject& saleWindow);
