#pragma once

#include "condlogic/CndDocument.h"

#include <QString>
#include <QtGlobal>

#include <vector>

namespace tqdt::cnd {

struct NetTable;

// A product of inputs: bit n of care says input n takes part, bit n of on whether it must be on
// (a plain literal) or off (a negated one). An empty product is always true.
struct Product {
    quint16 care = 0;
    quint16 on = 0;
    bool covers(quint16 pattern) const { return (pattern & care) == on; }
    bool operator==(const Product&) const = default;
};

// The patterns that turn an output on, as an irredundant sum of prime implicants over the inputs
// its diagram reads: every product is as short as the function allows, and none can be left out.
// The fewest products are not sought. Products come in ascending order of their lowest input.
std::vector<Product> OutputProducts(const NetTable& table);
std::vector<Product> OutputProducts(const CndDocument& doc, int output);

// "I1·I2·¬I4 + I3·¬I4": I1..I8 for the inputs, P1..P8 for the pilots, "0" for an output that never
// conducts and "1" for one that always does.
QString ExpressionText(const std::vector<Product>& sum);
// "I3", "¬P8": one input as the expression names it.
QString LiteralText(int input, bool on);

} // namespace tqdt::cnd
