#pragma once

#include "common/number_settings.h"

#include <QString>

// The display patterns of amounts. "R$ " is literal text, "#" an optional
// digit, "0" a digit always written, "," asks for thousands grouping and "."
// marks the decimal position.
inline const QString FORMATO_REAIS_2 = QStringLiteral("R$ ###,###,###.##");
inline const QString FORMATO_REAIS_3 = QStringLiteral("R$ ###,###,###.###");
inline const QString FORMATO_NUMERO_2 = QStringLiteral("###,###,###.##");
inline const QString FORMATO_NUMERO_2_FIXO = QStringLiteral("###,###,###.#0");
inline const QString FORMATO_REAIS_INTEIRO = QStringLiteral("R$ ###,###,###");
// An amount to pay as a payer reads it: "R$ 0,50", "R$ 1.234,00".
inline const QString FORMATO_REAIS_CENTAVOS = QStringLiteral("R$ ###,###,##0.00");

// Lays a number out with a pattern of the family above, rounding half away
// from zero on its decimal value to the pattern's decimal places.
// Examples (Brazilian settings): 1234,5 with FORMATO_REAIS_3 is "R$ 1.234,5";
// 1500 is "R$ 1.500,"; 0 is "R$ ,"; 0 with FORMATO_REAIS_INTEIRO is "R$ ";
// 0,5 with FORMATO_NUMERO_2_FIXO is ",50". A negative value carries its minus
// sign in front of the whole text.
QString Formato(double value, const QString& pattern, const NumberSettings& settings = NumberSettings::current());
