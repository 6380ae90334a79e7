#include "condlogic/LogicCompiler.h"

#include "condlogic/LogicMap.h"

#include <bit>
#include <numeric>

namespace tqdt::cnd {

void CompileLiteral(const CndDocument& doc, ControlArrayT& out, LogicMap& map, const CompileStep& step)
{
    map.usePicture = false;
    map.clearMem();
    out.fill(0);
    for (int o = 0; o < kOutputs; ++o) {
        for (int p = 0; p < kPatterns; ++p) {
            map.LogicLoadMem(doc, o, quint16(p));
            map.LogicTestMem();
            if (map.LogicPixGet(kRightRailX, 1) == PixEnergised)
                out[size_t(p)] = quint16(out[size_t(p)] + (1 << o));
            if (p % 2048 == 2047 && step)
                step();
        }
    }
}

namespace {

// Each cell's four points on the map, and the two rails, as nodes of a union-find.
enum Point { PUp = 0, PLeft = 1, PJunction = 2, PDown = 3 };
constexpr int kLeftRail = kCells * 4;
constexpr int kRightRail = kLeftRail + 1;
constexpr int kPointNodes = kRightRail + 1;
constexpr int pointNode(int cell, Point p) { return cell * 4 + p; }

struct UnionFind {
    std::array<int, kPointNodes> parent{};
    UnionFind() { std::iota(parent.begin(), parent.end(), 0); }
    int find(int a)
    {
        while (parent[size_t(a)] != a)
            a = parent[size_t(a)] = parent[size_t(parent[size_t(a)])];
        return a;
    }
    void join(int a, int b) { parent[size_t(find(a))] = find(b); }
};

bool hasJunction(int code) { return code > 0 && code <= 15; }

} // namespace

ContactNet reduceDiagram(const CndDocument& doc, int output)
{
    UnionFind uf;
    struct RawEdge {
        int a, b, input;
        bool closed;
    };
    std::vector<RawEdge> raw;
    for (int c = 0; c < kCells; ++c) {
        const int code = doc.code(output, c);
        if (!hasJunction(code))
            continue;
        const int col = c % kColumns, row = c / kColumns;
        const int j = pointNode(c, PJunction);
        if (code & 1)
            uf.join(pointNode(c, PUp), j);
        if (code & 2) {
            uf.join(pointNode(c, PDown), j);
            // A vertical link needs the up half in the cell below as well.
            if (row + 1 < kCells / kColumns) {
                const int below = doc.code(output, c + kColumns);
                if (hasJunction(below) && (below & 1))
                    uf.join(pointNode(c, PDown), pointNode(c + kColumns, PUp));
            }
        }
        if (col == kColumns - 1)
            uf.join(j, kRightRail); // junction, up and down all touch the right rail
        if (code < 4)
            continue; // no left connection
        // The left point touches only its own junction and the point left of it: the previous
        // cell's junction, or the left rail in column 0.
        int leftNb = -1;
        if (col == 0)
            leftNb = kLeftRail;
        else if (hasJunction(doc.code(output, c - 1)))
            leftNb = pointNode(c - 1, PJunction);
        if (code <= 7) {
            if (leftNb >= 0)
                uf.join(leftNb, j);
            continue;
        }
        if (leftNb < 0)
            continue; // a contact hanging off an empty cell joins nothing
        const int in = doc.input(output, c);
        if (in < 0 || in >= kInputs) {
            // An input that does not exist reads as off: a closed contact always conducts.
            if (isClosedContact(code))
                uf.join(leftNb, j);
            continue;
        }
        raw.push_back({leftNb, j, in, isClosedContact(code)});
    }

    ContactNet net;
    std::array<int, kPointNodes> dense;
    dense.fill(-1);
    auto id = [&](int point) {
        const int root = uf.find(point);
        if (dense[size_t(root)] < 0)
            dense[size_t(root)] = net.nodes++;
        return dense[size_t(root)];
    };
    net.source = id(kLeftRail);
    net.sink = id(kRightRail);
    for (int c = 0; c < kCells; ++c)
        net.junction[size_t(c)] = hasJunction(doc.code(output, c)) ? id(pointNode(c, PJunction)) : -1;
    for (const RawEdge& e : raw) {
        const int a = id(e.a), b = id(e.b);
        if (a != b)
            net.edges.push_back({a, b, e.input, e.closed});
    }
    return net;
}

namespace {

// Lane masks for the six pattern bits that vary inside one 64-bit word.
constexpr std::array<quint64, 6> kLanes = {
    0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull, 0xF0F0F0F0F0F0F0F0ull,
    0xFF00FF00FF00FF00ull, 0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull,
};

} // namespace

void FloodNet(const ContactNet& net, const quint64* lit, std::vector<quint64>& energy)
{
    energy.assign(size_t(net.nodes), 0ull);
    energy[size_t(net.source)] = ~0ull;
    // Conduction is undirected, so sweep the edges both ways until nothing changes.
    bool changed = true;
    auto relax = [&](size_t e) {
        const ContactNet::Edge& ed = net.edges[e];
        quint64& ea = energy[size_t(ed.a)];
        quint64& eb = energy[size_t(ed.b)];
        const quint64 m = lit[e] & (ea | eb);
        if ((m & ~ea) | (m & ~eb)) {
            ea |= m;
            eb |= m;
            changed = true;
        }
    };
    while (changed) {
        changed = false;
        for (size_t e = 0; e < net.edges.size(); ++e)
            relax(e);
        if (!changed)
            break;
        changed = false;
        for (size_t e = net.edges.size(); e-- > 0;)
            relax(e);
    }
}

unsigned NetTable::compress(quint16 mask) const
{
    unsigned q = 0;
    for (int n = 0; n < kInputs; ++n)
        if (var[size_t(n)] >= 0 && ((mask >> n) & 1))
            q |= 1u << var[size_t(n)];
    return q;
}

NetTable TabulateNet(const ContactNet& net)
{
    NetTable t;
    for (const ContactNet::Edge& e : net.edges)
        t.inputs |= 1u << e.input;
    for (int i = 0; i < kInputs; ++i)
        t.var[size_t(i)] = (t.inputs >> i) & 1 ? t.vars++ : -1;
    const int words = t.vars <= 6 ? 1 : 1 << (t.vars - 6);
    t.bits.assign(size_t(words), 0);
    if (net.source == net.sink) {
        t.bits.assign(size_t(words), ~0ull);
        return t;
    }
    if (net.edges.empty())
        return t;
    std::vector<int> bitOf(net.edges.size());
    for (size_t e = 0; e < net.edges.size(); ++e)
        bitOf[e] = t.var[size_t(net.edges[e].input)];
    std::vector<quint64> lit(net.edges.size());
    std::vector<quint64> energy;
    for (int w = 0; w < words; ++w) {
        for (size_t e = 0; e < net.edges.size(); ++e) {
            const int i = bitOf[e];
            const quint64 on = i < 6 ? kLanes[size_t(i)] : (((w >> (i - 6)) & 1) ? ~0ull : 0ull);
            lit[e] = net.edges[e].closed ? ~on : on;
        }
        FloodNet(net, lit.data(), energy);
        t.bits[size_t(w)] = energy[size_t(net.sink)];
    }
    // Fewer than six inputs fill only the low lanes; the rest repeat them and are never read.
    return t;
}

EnergisedCells EnergisedPath(const CndDocument& doc, const ContactNet& net, int output, quint16 mask)
{
    std::vector<quint64> lit(net.edges.size());
    for (size_t e = 0; e < net.edges.size(); ++e) {
        const bool on = (mask >> net.edges[e].input) & 1;
        lit[e] = (on != net.edges[e].closed) ? ~0ull : 0ull;
    }
    std::vector<quint64> energy;
    FloodNet(net, lit.data(), energy);
    EnergisedCells r;
    for (int c = 0; c < kCells; ++c) {
        const CellPoints p = cellPoints(doc.code(output, c), doc.input(output, c), mask);
        r.conductor[size_t(c)] = p;
        const int j = net.junction[size_t(c)];
        if (j >= 0 && energy[size_t(j)]) {
            CellPoints& e = r.energised[size_t(c)];
            e.junction = true;
            e.up = p.up;
            e.down = p.down;
            e.left = p.left;
        }
    }
    r.output = energy[size_t(net.sink)] != 0;
    return r;
}

EnergisedCells EnergisedPath(const CndDocument& doc, int output, quint16 mask)
{
    return EnergisedPath(doc, reduceDiagram(doc, output), output, mask);
}

void CompileFast(const CndDocument& doc, ControlArrayT& out, const CompileStep& step)
{
    out.fill(0);
    for (int o = 0; o < kOutputs; ++o) {
        const NetTable table = TabulateNet(reduceDiagram(doc, o));

        // A pattern's compressed index, from its low and its high byte.
        std::array<quint16, 256> lo{}, hi{};
        for (int v = 0; v < 256; ++v) {
            lo[size_t(v)] = quint16(table.compress(quint16(v)));
            hi[size_t(v)] = quint16(table.compress(quint16(v << 8)));
        }
        const quint16 bit = quint16(1u << o);
        for (int chunk = 0; chunk < 32; ++chunk) {
            for (int p = chunk * 2048; p < (chunk + 1) * 2048; ++p) {
                const unsigned q = lo[size_t(p & 255)] | hi[size_t(p >> 8)];
                if (table.on(q))
                    out[size_t(p)] |= bit;
            }
            if (step)
                step();
        }
    }
}

} // namespace tqdt::cnd
