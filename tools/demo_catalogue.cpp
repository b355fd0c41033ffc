#include "demo_catalogue.h"

namespace {

struct DemoItem {
    const char* first12;
    const char* name;
    double quantity;
    double cost;
    double price;
    int critical;
    const char* category;
};

// Quantities at or below the critical level mark the products the counter warns about.
const DemoItem ITEMS[] = {
    {"789100000001", "Arroz Agulhinha Tipo 1 5 kg", 40, 18.90, 27.90, 8, "Mercearia"},
    {"789100000002", "Feijão Carioca 1 kg", 55, 5.40, 8.49, 10, "Mercearia"},
    {"789100000003", "Açúcar Refinado 1 kg", 6, 3.10, 4.99, 8, "Mercearia"},
    {"789100000004", "Café Torrado e Moído 500 g", 30, 11.20, 16.90, 6, "Mercearia"},
    {"789100000005", "Óleo de Soja 900 ml", 24, 5.60, 7.99, 6, "Mercearia"},
    {"789100000006", "Macarrão Espaguete 500 g", 48, 2.80, 4.39, 10, "Mercearia"},
    {"789100000007", "Farinha de Mandioca 500 g", 20, 3.30, 5.29, 5, "Mercearia"},
    {"789100000008", "Sal Refinado 1 kg", 35, 1.10, 2.19, 5, "Mercearia"},
    {"789100000009", "Molho de Tomate 340 g", 60, 1.70, 2.99, 12, "Mercearia"},
    {"789200000001", "Leite Integral 1 L", 72, 3.90, 5.49, 24, "Laticínios"},
    {"789200000002", "Manteiga com Sal 200 g", 4, 8.20, 11.90, 5, "Laticínios"},
    {"789200000003", "Queijo Muçarela Fatiado 150 g", 15, 6.10, 8.99, 4, "Laticínios"},
    {"789200000004", "Iogurte Natural 170 g", 26, 1.90, 3.29, 6, "Laticínios"},
    {"789200000005", "Requeijão Cremoso 200 g", 18, 5.20, 7.79, 4, "Laticínios"},
    {"789300000001", "Água Mineral sem Gás 500 ml", 120, 0.90, 2.00, 24, "Bebidas"},
    {"789300000002", "Refrigerante de Guaraná 2 L", 36, 5.10, 8.49, 6, "Bebidas"},
    {"789300000003", "Suco de Caju Concentrado 500 ml", 12, 3.60, 5.99, 4, "Bebidas"},
    {"789300000004", "Cerveja Pilsen Lata 350 ml", 96, 2.40, 3.79, 24, "Bebidas"},
    {"789300000005", "Café com Leite Pronto 200 ml", 3, 2.10, 3.49, 3, "Bebidas"},
    {"789400000001", "Pão Francês (unidade)", 150, 0.35, 0.75, 30, "Padaria"},
    {"789400000002", "Pão de Queijo Congelado 400 g", 14, 7.80, 12.90, 4, "Padaria"},
    {"789400000003", "Bolo de Fubá Caseiro", 5, 6.00, 10.50, 2, "Padaria"},
    {"789500000001", "Banana Prata (kg)", 22.5, 3.20, 5.99, 5, "Hortifrúti"},
    {"789500000002", "Tomate Italiano (kg)", 11.75, 4.50, 7.49, 3, "Hortifrúti"},
    {"789500000003", "Cebola (kg)", 2.5, 2.90, 4.99, 3, "Hortifrúti"},
    {"789600000001", "Sabão em Pó 1 kg", 20, 9.40, 14.90, 4, "Limpeza"},
    {"789600000002", "Detergente Líquido 500 ml", 45, 1.60, 2.79, 10, "Limpeza"},
    {"789600000003", "Água Sanitária 1 L", 25, 2.30, 3.99, 5, "Limpeza"},
    {"789700000001", "Sabonete de Glicerina 90 g", 50, 1.20, 2.49, 10, "Higiene"},
    {"789700000002", "Creme Dental 90 g", 28, 2.70, 4.59, 6, "Higiene"},
    {"789700000003", "Papel Higiênico Folha Dupla 4 rolos", 16, 5.30, 8.90, 4, "Higiene"},
};

}   // namespace

QChar ean13CheckDigit(const QString& first12Digits)
{
    int sum = 0;
    for (int i = 0; i < first12Digits.size(); ++i) {
        const int digit = first12Digits[i].digitValue();
        sum += i % 2 == 0 ? digit : 3 * digit;
    }
    return QChar(u'0' + (10 - sum % 10) % 10);
}

QList<NewProduct> demoCatalogue()
{
    QList<NewProduct> products;
    for (const DemoItem& item : ITEMS) {
        const QString first12 = QString::fromLatin1(item.first12);
        products.append({first12 + ean13CheckDigit(first12), QString::fromUtf8(item.name), item.quantity, item.cost,
                         item.price, item.critical, QString::fromUtf8(item.category)});
    }
    return products;
}
