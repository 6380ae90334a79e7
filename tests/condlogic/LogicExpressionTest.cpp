#include "condlogic/LogicExpression.h"
#include "condlogic/LogicCompiler.h"
#include "condlogic/LogicMap.h"
#include "support/DiagramGen.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace tqdt::cnd;

namespace {

// Reads an expression back as the text says, independently of the products that made it: a sum
// of products of I1..I8 / P1..P8, each maybe negated, or "0" or "1".
std::vector<Product> parse(const QString& text)
{
    if (text == QLatin1String("0"))
        return {};
    if (text == QLatin1String("1"))
        return {Product{}};
    static const QRegularExpression literal(QStringLiteral("^(\u00AC?)([IP])([1-8])$"));
    std::vector<Product> sum;
    for (const QString& term : text.split(QStringLiteral(" + "))) {
        Product p;
        for (const QString& lit : term.split(QStringLiteral("\u00B7"))) {
            const auto m = literal.match(lit);
            EXPECT_TRUE(m.hasMatch())
                << "not a literal: " << lit.toStdString() << " in " << text.toStdString();
            if (!m.hasMatch())
                return {};
            const int n = m.captured(3).toInt() - 1 + (m.captured(2) == QLatin1String("P") ? 8 : 0);
            EXPECT_FALSE((p.care >> n) & 1) << "input named twice in " << term.toStdString();
            p.care = quint16(p.care | (1u << n));
            if (m.captured(1).isEmpty())
                p.on = quint16(p.on | (1u << n));
        }
        sum.push_back(p);
    }
    return sum;
}

bool sumCovers(const std::vector<Product>& sum, int p)
{
    return std::any_of(sum.begin(), sum.end(), [p](const Product& t) { return t.covers(quint16(p)); });
}

// Every output's expression, read back from its text, gives exactly the compiled array.
void expectExpressionsExpandToTheArray(const CndDocument& doc)
{
    auto compiled = std::make_unique<ControlArrayT>();
    CompileFast(doc, *compiled);
    for (int o = 0; o < kOutputs; ++o) {
        const QString text = ExpressionText(OutputProducts(doc, o));
        const std::vector<Product> sum = parse(text);
        int wrong = 0, first = -1;
        for (int p = 0; p < kPatterns; ++p) {
            if (sumCovers(sum, p) != bool(((*compiled)[size_t(p)] >> o) & 1)) {
                if (wrong++ == 0)
                    first = p;
            }
        }
        EXPECT_EQ(wrong, 0) << "output " << o + 1 << ": " << text.toStdString() << ", first at pattern "
                            << first;
    }
}

// Drawn on output 0: a row of codes from column 0 with one input each, then wires to the right
// rail unless the rung only feeds another one.
struct Rung {
    int row;
    std::vector<std::pair<int, int>> cells; // code, input
    bool toRail = true;
};
CndDocument draw(const std::vector<Rung>& rungs)
{
    CndDocument doc;
    for (const Rung& r : rungs) {
        int col = 0;
        for (auto [code, input] : r.cells) {
            doc.setCode(0, r.row * kColumns + col, code);
            doc.setInput(0, r.row * kColumns + col, input);
            ++col;
        }
        for (; r.toRail && col < kColumns; ++col)
            doc.setCode(0, r.row * kColumns + col, SegWire);
    }
    return doc;
}

} // namespace

TEST(LogicExpression, DiagramsReadAsTheirSumOfProducts)
{
    struct Case {
        const char* name;
        std::vector<Rung> rungs;
        const char* want;
    } cases[] = {
        {"empty diagram never conducts", {}, "0"},
        {"a wire from rail to rail always does", {{5, {}}}, "1"},
        {"closed contact on Pilot 8", {{0, {{SegClosed, 15}}}}, "\u00ACP8"},
        // (I1·I2 + I3)·¬I4: I1, I2 in series on row 0 dropping at column 2 into row 1, whose I3
        // joins from the rail; both continue through a closed contact on I4.
        {"the worked example",
         {{0, {{SegOpen, 0}, {SegOpen, 1}, {SegWireDown, 0}}, false},
          {1, {{SegOpen, 2}, {SegWire, 0}, {SegWireUp, 0}, {SegClosed, 3}}}},
         "I1\u00B7I2\u00B7\u00ACI4 + I3\u00B7\u00ACI4"},
        {"terms come by their lowest input",
         {{0, {{SegOpen, 4}, {SegWireDown, 0}}}, {1, {{SegOpen, 1}, {SegWireUp, 0}}, false}},
         "I2 + I5"},
        {"a contact and its opposite in parallel always conduct",
         {{0, {{SegOpen, 9}, {SegWireDown, 0}}}, {1, {{SegClosed, 9}, {SegWireUp, 0}}, false}},
         "1"},
        {"a contact and its opposite in series never do", {{0, {{SegOpen, 2}, {SegClosed, 2}}}}, "0"},
        {"a redundant consensus term is left out",
         // I1·I2 + ¬I1·I3 (+ I2·I3, which the other two cover)
         {{0, {{SegOpen, 0}, {SegOpen, 1}, {SegWireDown, 0}}},
          {1, {{SegClosed, 0}, {SegOpen, 2}, {SegWireUpDown, 0}}, false},
          {2, {{SegOpen, 1}, {SegOpen, 2}, {SegWireUp, 0}}, false}},
         "I1\u00B7I2 + \u00ACI1\u00B7I3"},
    };
    for (const Case& c : cases) {
        const auto doc = std::make_unique<CndDocument>(draw(c.rungs));
        EXPECT_EQ(ExpressionText(OutputProducts(*doc, 0)).toStdString(), std::string(c.want)) << c.name;
    }
}

TEST(LogicExpression, FactoryDefaultAndGeneratedDiagramsExpandBackToTheCompiledArray)
{
    auto doc = std::make_unique<CndDocument>();
    doc->factoryDefault();
    for (int o = 0; o < kOutputs; ++o)
        EXPECT_EQ(ExpressionText(OutputProducts(*doc, o)), LiteralText(o, true));
    expectExpressionsExpandToTheArray(*doc);
    for (quint32 start : {1u, 7u, 42u, 1234u}) {
        SCOPED_TRACE(start);
        *doc = RandomDocument(start);
        expectExpressionsExpandToTheArray(*doc);
    }
    *doc = WorstCaseDocument();
    expectExpressionsExpandToTheArray(*doc);
}

TEST(LogicExpression, EveryProductIsPrimeAndNoneCanBeLeftOut)
{
    // Calls f on every pattern a product covers.
    auto forCovered = [](const Product& t, auto&& f) {
        const quint16 free = quint16(~t.care);
        for (unsigned s = free;; s = (s - 1) & free) {
            if (!f(quint16(t.on | s)))
                return false;
            if (s == 0)
                return true;
        }
    };
    for (quint32 start : {3u, 42u, 99991u}) {
        const auto doc = std::make_unique<CndDocument>(RandomDocument(start));
        for (int o = 0; o < kOutputs; ++o) {
            const NetTable table = TabulateNet(reduceDiagram(*doc, o));
            const std::vector<Product> sum = OutputProducts(table);
            auto on = [&](quint16 p) { return table.on(table.compress(p)); };
            std::vector<int> count(kPatterns, 0);
            for (const Product& t : sum)
                forCovered(t, [&](quint16 p) { return ++count[p], true; });
            for (size_t i = 0; i < sum.size(); ++i) {
                // Prime: dropping any literal lets in a pattern the output is off for.
                for (int n = 0; n < kInputs; ++n) {
                    if (!((sum[i].care >> n) & 1))
                        continue;
                    const Product wider{quint16(sum[i].care & ~(1u << n)), quint16(sum[i].on & ~(1u << n))};
                    const bool staysInside = forCovered(wider, on);
                    EXPECT_FALSE(staysInside)
                        << "diagram " << start << ", output " << o << ", term " << i << ", literal " << n;
                }
                // Irredundant: some pattern only this product covers.
                const bool covered = forCovered(sum[i], [&](quint16 p) { return count[p] > 1; });
                EXPECT_FALSE(covered) << "diagram " << start << ", output " << o << ", term " << i;
            }
        }
    }
}

TEST(EnergisedPath, AgreesWithTheFloodOnEveryCellAndWithTheCompile)
{
    // The literal flood's map is the reference for what is energised; the path view must show the
    // same points and the compiled array's output state.
    std::vector<std::unique_ptr<CndDocument>> docs;
    for (quint32 start : {1u, 5u, 42u, 777u})
        docs.push_back(std::make_unique<CndDocument>(RandomDocument(start)));
    docs.push_back(std::make_unique<CndDocument>(WorstCaseDocument()));
    LogicMap map;
    auto compiled = std::make_unique<ControlArrayT>();
    for (size_t d = 0; d < docs.size(); ++d) {
        const CndDocument& doc = *docs[d];
        CompileFast(doc, *compiled);
        for (int o = 0; o < kOutputs; ++o) {
            const ContactNet net = reduceDiagram(doc, o);
            for (int p = 0; p < kPatterns; p += 997) {
                const EnergisedCells e = EnergisedPath(doc, net, o, quint16(p));
                evaluateLiteral(map, doc, o, quint16(p));
                ASSERT_EQ(e.output, bool(((*compiled)[size_t(p)] >> o) & 1)) << d << " " << o << " " << p;
                for (int c = 0; c < kCells; ++c) {
                    const int x0 = 2 * (c % kColumns) + 2, x1 = x0 + 1, y0 = 3 * (c / kColumns) + 1;
                    const struct {
                        int x, y;
                        bool conductor, energised;
                    } points[] = {
                        {x1, y0, e.conductor[size_t(c)].up, e.energised[size_t(c)].up},
                        {x0, y0 + 1, e.conductor[size_t(c)].left, e.energised[size_t(c)].left},
                        {x1, y0 + 1, e.conductor[size_t(c)].junction, e.energised[size_t(c)].junction},
                        {x1, y0 + 2, e.conductor[size_t(c)].down, e.energised[size_t(c)].down},
                    };
                    for (const auto& pt : points) {
                        const int want = map.LogicPixGet(pt.x, pt.y);
                        const int got = pt.energised ? PixEnergised : pt.conductor ? PixConductor : PixNone;
                        ASSERT_EQ(got, want) << "doc " << d << " output " << o << " pattern " << p << " cell "
                                             << c << " point (" << pt.x << ", " << pt.y << ")";
                    }
                }
            }
        }
    }
}
