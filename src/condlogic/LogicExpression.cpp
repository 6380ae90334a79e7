#include "condlogic/LogicExpression.h"

#include "condlogic/LogicCompiler.h"

#include <QStringList>

#include <algorithm>
#include <bit>

namespace tqdt::cnd {

namespace {

constexpr std::array<quint64, 6> kLanes = {
    0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull, 0xF0F0F0F0F0F0F0F0ull,
    0xFF00FF00FF00FF00ull, 0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull,
};

// A cube over the compressed inputs of a table: the patterns q with q & care == value.
struct Cube {
    unsigned care = 0, value = 0;
};

// Works on the table's bits 64 patterns at a time: the low six compressed inputs pick a lane
// inside a word, the others pick the word.
class Cover {
public:
    explicit Cover(const NetTable& t)
        : m_t(t), m_full((1u << t.vars) - 1), m_validLanes(t.vars >= 6 ? ~0ull : (1ull << (1u << t.vars)) - 1)
    {
    }

    // The lanes of one word that lie in the cube.
    quint64 lanes(const Cube& c) const
    {
        quint64 l = m_validLanes;
        for (int i = 0; i < 6 && i < m_t.vars; ++i)
            if ((c.care >> i) & 1)
                l &= ((c.value >> i) & 1) ? kLanes[size_t(i)] : ~kLanes[size_t(i)];
        return l;
    }

    // Calls f(word index, lanes) for every word the cube touches.
    template <typename F> bool forWords(const Cube& c, F&& f) const
    {
        const quint64 l = lanes(c);
        const unsigned freeHigh = (m_full & ~c.care) >> 6 << 6;
        const unsigned base = c.value & ~63u;
        // Every subset of the free high inputs, the empty one included.
        for (unsigned s = freeHigh;; s = (s - 1) & freeHigh) {
            if (!f((base | s) >> 6, l))
                return false;
            if (s == 0)
                return true;
        }
    }

    bool implicant(const Cube& c) const
    {
        return forWords(c, [&](unsigned w, quint64 l) { return (m_t.bits[w] & l) == l; });
    }

    // Drops inputs from a pattern, lowest first, while the cube stays inside the function.
    Cube expand(unsigned q) const
    {
        Cube c{m_full, q};
        for (int i = 0; i < m_t.vars; ++i) {
            const Cube wider{c.care & ~(1u << i), c.value & ~(1u << i)};
            if (implicant(wider))
                c = wider;
        }
        return c;
    }

    unsigned full() const { return m_full; }
    quint64 validLanes() const { return m_validLanes; }

private:
    const NetTable& m_t;
    unsigned m_full;
    quint64 m_validLanes;
};

// The literals of a product in the order they are written: by input, lowest first.
bool writtenBefore(const Product& a, const Product& b)
{
    for (int n = 0; n < kInputs; ++n) {
        const bool inA = (a.care >> n) & 1, inB = (b.care >> n) & 1;
        if (inA != inB)
            return inA; // the product reaching this input first comes first
        if (inA) {
            const bool onA = (a.on >> n) & 1, onB = (b.on >> n) & 1;
            if (onA != onB)
                return onA; // I3 before ¬I3
        }
    }
    return false;
}

} // namespace

std::vector<Product> OutputProducts(const NetTable& table)
{
    const Cover cover(table);
    const size_t words = table.bits.size();
    std::vector<quint64> uncovered(table.bits);
    for (quint64& w : uncovered)
        w &= cover.validLanes();

    // Every pattern still uncovered grows into a prime implicant of its own.
    std::vector<Cube> primes;
    for (size_t w = 0; w < words; ++w) {
        while (uncovered[w]) {
            const unsigned q = unsigned(w * 64 + size_t(std::countr_zero(uncovered[w])));
            const Cube c = cover.expand(q);
            primes.push_back(c);
            cover.forWords(c, [&](unsigned cw, quint64 l) {
                uncovered[cw] &= ~l;
                return true;
            });
        }
    }

    // Leave out every prime whose patterns the others all cover, smallest cubes first, so that the
    // broad products stay.
    std::vector<quint16> count(words * 64, 0);
    auto forPatterns = [&](const Cube& c, auto&& f) {
        return cover.forWords(c, [&](unsigned w, quint64 l) {
            for (; l; l &= l - 1)
                if (!f(w * 64 + unsigned(std::countr_zero(l))))
                    return false;
            return true;
        });
    };
    for (const Cube& c : primes)
        forPatterns(c, [&](unsigned q) {
            ++count[q];
            return true;
        });
    std::vector<size_t> order(primes.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return std::popcount(primes[a].care) > std::popcount(primes[b].care);
    });
    std::vector<bool> kept(primes.size(), true);
    for (size_t i : order) {
        const bool redundant = forPatterns(primes[i], [&](unsigned q) { return count[q] >= 2; });
        if (!redundant)
            continue;
        kept[i] = false;
        forPatterns(primes[i], [&](unsigned q) {
            --count[q];
            return true;
        });
    }

    // Back from compressed inputs to the module's sixteen.
    std::array<int, kInputs> inputOf{};
    for (int n = 0; n < kInputs; ++n)
        if (table.var[size_t(n)] >= 0)
            inputOf[size_t(table.var[size_t(n)])] = n;
    std::vector<Product> sum;
    for (size_t i = 0; i < primes.size(); ++i) {
        if (!kept[i])
            continue;
        Product p;
        for (int v = 0; v < table.vars; ++v) {
            if (!((primes[i].care >> v) & 1))
                continue;
            p.care = quint16(p.care | (1u << inputOf[size_t(v)]));
            if ((primes[i].value >> v) & 1)
                p.on = quint16(p.on | (1u << inputOf[size_t(v)]));
        }
        sum.push_back(p);
    }
    std::sort(sum.begin(), sum.end(), writtenBefore);
    return sum;
}

std::vector<Product> OutputProducts(const CndDocument& doc, int output)
{
    return OutputProducts(TabulateNet(reduceDiagram(doc, output)));
}

QString LiteralText(int input, bool on)
{
    const QString name =
        input < 8 ? QStringLiteral("I%1").arg(input + 1) : QStringLiteral("P%1").arg(input - 7);
    return on ? name : QStringLiteral("\u00AC") + name;
}

QString ExpressionText(const std::vector<Product>& sum)
{
    if (sum.empty())
        return QStringLiteral("0");
    QStringList terms;
    for (const Product& p : sum) {
        if (p.care == 0)
            return QStringLiteral("1");
        QStringList literals;
        for (int n = 0; n < kInputs; ++n)
            if ((p.care >> n) & 1)
                literals << LiteralText(n, (p.on >> n) & 1);
        terms << literals.join(QStringLiteral("\u00B7"));
    }
    return terms.join(QStringLiteral(" + "));
}

} // namespace tqdt::cnd
