#include "support/product_catalogue.h"

#include "support/seeded_random.h"

#include <QSet>
#include <QStringList>

#include <cmath>
#include <numeric>
#include <stdexcept>

namespace {

struct Department {
    QString category;
    QStringList kinds;
    QStringList variants;
    QStringList sizes;
    bool soldByWeight;
    double cheapest;
    double dearest;
};

const QStringList& brands()
{
    static const QStringList names = {
        "Boa Safra", "Vale Verde", "Serra Azul", "Bom Gosto", "Três Irmãos", "São Jorge", "Flor do Campo",
        "Nossa Terra", "Estrela", "Sabor Real", "Ouro Fino", "Vitória", "Bela Vista", "Santa Clara", "Recanto",
        "Alvorada", "Tropical", "Paraíso", "Campestre", "Da Roça", "Brasilar", "Imperial", "Serrana", "Gaúcha",
        "Colonial", "Sertão", "Cristal", "Diamante", "Pérola", "Coração", "Delícia", "Caseiro", "Fazendinha",
        "Cachoeira", "Ipê", "Jatobá", "Araucária", "Pitanga", "Jangada", "Maré Alta",
    };
    return names;
}

const std::vector<Department>& departments()
{
    static const std::vector<Department> all = {
        {"Mercearia",
         {"Arroz", "Feijão", "Açúcar", "Café", "Macarrão", "Farinha de Trigo", "Óleo de Soja", "Fubá", "Sal",
          "Molho de Tomate"},
         {"Tradicional", "Integral", "Orgânico", "Especial", "Tipo 1", "Premium", "Econômico", "Extra"},
         {"250 g", "500 g", "1 kg", "2 kg", "5 kg"},
         false, 1.5, 35},
        {"Bebidas",
         {"Refrigerante", "Suco", "Água Mineral", "Chá Gelado", "Cerveja", "Energético", "Água de Coco", "Néctar"},
         {"Guaraná", "Laranja", "Limão", "Uva", "Maracujá", "Pêssego", "Zero Açúcar", "Natural"},
         {"200 ml", "350 ml", "600 ml", "1 L", "2 L"},
         false, 1.2, 40},
        {"Laticínios",
         {"Leite", "Iogurte", "Requeijão", "Manteiga", "Creme de Leite", "Leite Condensado", "Queijo Minas",
          "Coalhada"},
         {"Integral", "Desnatado", "Semidesnatado", "Light", "Zero Lactose", "Tradicional", "Cremoso", "Com Sal"},
         {"170 g", "200 g", "395 g", "500 g", "1 L"},
         false, 2, 30},
        {"Frios e Embutidos",
         {"Presunto", "Mortadela", "Salame", "Queijo Muçarela", "Queijo Prato", "Peito de Peru", "Linguiça",
          "Salsicha"},
         {"Fatiado", "Defumado", "Cozido", "Light", "Tradicional", "Apimentado", "Toscana", "Calabresa"},
         {"Granel", "Peça", "Bandeja", "200 g", "500 g"},
         true, 8, 90},
        {"Hortifrúti",
         {"Maçã", "Banana", "Limão", "Tomate", "Batata", "Cebola", "Mamão", "Abóbora", "Alface", "Mandioca"},
         {"Nacional", "Orgânica", "Selecionada", "Prata", "Fuji", "Gala", "Italiana", "Baroa"},
         {"kg", "Bandeja", "Maço", "Dúzia", "Unidade"},
         true, 1, 25},
        {"Padaria",
         {"Pão de Forma", "Pão Francês", "Bisnaguinha", "Bolo", "Torrada", "Biscoito Maizena", "Biscoito Recheado",
          "Rosca"},
         {"Integral", "Tradicional", "Chocolate", "Coco", "Baunilha", "Morango", "Milho", "Sem Glúten"},
         {"200 g", "300 g", "400 g", "500 g", "1 kg"},
         false, 1.5, 25},
        {"Limpeza",
         {"Detergente", "Sabão em Pó", "Água Sanitária", "Desinfetante", "Amaciante", "Limpa Vidros", "Esponja",
          "Sabão em Barra"},
         {"Neutro", "Limão", "Lavanda", "Coco", "Concentrado", "Floral", "Bactericida", "Multiuso"},
         {"500 ml", "1 L", "2 L", "5 L", "1 kg"},
         false, 1.5, 45},
        {"Higiene Pessoal",
         {"Sabonete", "Xampu", "Condicionador", "Creme Dental", "Desodorante", "Papel Higiênico", "Fio Dental",
          "Hidratante"},
         {"Erva-Doce", "Camomila", "Menta", "Aloe Vera", "Infantil", "Neutro", "Algodão", "Sensível"},
         {"90 g", "200 ml", "350 ml", "4 un", "12 un"},
         false, 1.2, 40},
        {"Bomboniere",
         {"Chocolate", "Bala", "Chiclete", "Pirulito", "Paçoca", "Pé de Moleque", "Doce de Leite", "Goiabada"},
         {"Ao Leite", "Meio Amargo", "Branco", "Amendoim", "Menta", "Morango", "Caramelo", "Diet"},
         {"25 g", "90 g", "150 g", "400 g", "1 kg"},
         false, 0.3, 30},
        {"Pet Shop",
         {"Ração para Cães", "Ração para Gatos", "Petisco", "Areia Sanitária", "Xampu Pet", "Osso", "Sachê",
          "Biscoito Canino"},
         {"Filhote", "Adulto", "Sênior", "Carne", "Frango", "Peixe", "Castrado", "Light"},
         {"85 g", "500 g", "1 kg", "3 kg", "10 kg"},
         false, 1.5, 120},
        {"Utilidades",
         {"Pilha", "Lâmpada", "Fósforo", "Vela", "Copo Descartável", "Guardanapo", "Papel Alumínio", "Saco de Lixo"},
         {"Alcalina", "LED", "Comum", "Branco", "Reforçado", "Grande", "Pequeno", "Colorido"},
         {"2 un", "4 un", "10 un", "50 un", "100 un"},
         false, 0.8, 35},
        {"Congelados",
         {"Pizza", "Lasanha", "Pão de Queijo", "Hambúrguer", "Batata Palito", "Sorvete", "Polpa de Fruta",
          "Empanado"},
         {"Calabresa", "Muçarela", "Frango", "Bolonhesa", "Quatro Queijos", "Açaí", "Cupuaçu", "Tradicional"},
         {"300 g", "400 g", "600 g", "1 kg", "2 L"},
         false, 4, 45},
    };
    return all;
}

qint64 combinationsOf(const Department& department)
{
    return qint64(department.kinds.size()) * department.variants.size() * brands().size() *
           department.sizes.size();
}

qint64 allCombinations()
{
    qint64 total = 0;
    for (const Department& department : departments())
        total += combinationsOf(department);
    return total;
}

struct NamedProduct {
    QString name;
    const Department* department;
};

// Combination number → "Kind Variant Brand Size", read as a mixed-radix number
// within the department it falls in. Rounds past the first carry a series number.
NamedProduct nameOfCombination(qint64 combination, qint64 total)
{
    const qint64 series = combination / total;
    qint64 rest = combination % total;
    const Department* department = &departments().front();
    for (const Department& candidate : departments()) {
        department = &candidate;
        if (rest < combinationsOf(candidate))
            break;
        rest -= combinationsOf(candidate);
    }
    auto digit = [&rest](qsizetype radix) {
        const auto value = static_cast<qsizetype>(rest % radix);
        rest /= radix;
        return value;
    };
    const QString& size = department->sizes[digit(department->sizes.size())];
    const QString& brand = brands()[digit(brands().size())];
    const QString& variant = department->variants[digit(department->variants.size())];
    const QString& kind = department->kinds[digit(department->kinds.size())];
    QString name = QStringList{kind, variant, brand, size}.join(u' ');
    if (series > 0)
        name += QStringLiteral(" (%1)").arg(series + 1);
    return {name, department};
}

// count unique names of at most PRODUCT_NAME_MAX_LENGTH characters, visiting
// the combinations in a scrambled order (a stride coprime with their number)
// so that the first ones already mix every department, kind and brand.
std::vector<NamedProduct> uniqueNames(int count, SeededRandom& random)
{
    const qint64 total = allCombinations();
    qint64 stride = total / 3 + random.below(static_cast<int>(total / 3));
    while (std::gcd(stride, total) != 1)
        ++stride;
    const qint64 offset = random.below(static_cast<int>(total));

    std::vector<NamedProduct> names;
    names.reserve(count);
    QSet<QString> taken;
    for (qint64 visited = 0; static_cast<int>(names.size()) < count; ++visited) {
        const qint64 combination = (visited / total) * total + (offset + (visited % total) * stride) % total;
        NamedProduct product = nameOfCombination(combination, total);
        if (product.name.size() > PRODUCT_NAME_MAX_LENGTH || taken.contains(product.name))
            continue;
        taken.insert(product.name);
        names.push_back(std::move(product));
    }
    return names;
}

std::vector<QString> uniqueCodes(int count, SeededRandom& random)
{
    std::vector<QString> codes;
    codes.reserve(count);
    QSet<QString> taken;
    while (static_cast<int>(codes.size()) < count) {
        // 789 is the Brazilian prefix; nine random digits follow.
        const QString firstTwelve = QStringLiteral("789%1").arg(random.below(1000000000), 9, 10, QLatin1Char('0'));
        const QString code = firstTwelve + QString::number(ean13CheckDigit(firstTwelve));
        if (taken.contains(code))
            continue;
        taken.insert(code);
        codes.push_back(code);
    }
    return codes;
}

// Cheap products are more common than dear ones; prices end in 9 cents.
void price(GeneratedProduct& product, const Department& department, SeededRandom& random)
{
    const double spread = random.unit();
    const double range = department.dearest - department.cheapest;
    product.costPrice = roundedTo(department.cheapest + range * spread * spread, 2);
    const double withMargin = product.costPrice * random.between(1.25, 1.8);
    product.salePrice = roundedTo(std::ceil(withMargin * 10) / 10 - 0.01, 2);
}

// Most products are well stocked; a few sit at or below their critical level.
void stock(GeneratedProduct& product, SeededRandom& random)
{
    product.criticalStock = random.below(21);
    if (random.chance(0.05))
        product.quantity = random.below(product.criticalStock + 1);
    else if (product.soldByWeight)
        product.quantity = roundedTo(random.between(0, 60), 3);
    else
        product.quantity = random.below(300);
}

}   // namespace

int ean13CheckDigit(const QString& firstTwelveDigits)
{
    if (firstTwelveDigits.size() != 12)
        throw std::invalid_argument("an EAN-13 check digit needs twelve digits");
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += firstTwelveDigits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10;
}

std::vector<GeneratedProduct> generateProducts(int count, SeededRandom& random)
{
    std::vector<NamedProduct> names = uniqueNames(count, random);
    std::vector<QString> codes = uniqueCodes(count, random);
    std::vector<GeneratedProduct> products(count);
    for (int i = 0; i < count; ++i) {
        GeneratedProduct& product = products[i];
        const Department& department = *names[i].department;
        product.code = std::move(codes[i]);
        product.name = std::move(names[i].name);
        product.category = department.category;
        product.soldByWeight = department.soldByWeight;
        product.partOfOffer = random.chance(0.01);
        price(product, department, random);
        stock(product, random);
    }
    return products;
}
