#include "ui/shell/ToolList.h"

#include <algorithm>

namespace tqdt {

namespace {
template <typename Key> const ToolEntry* find(const ToolList& tools, Key key)
{
    const auto it = std::find_if(tools.begin(), tools.end(), key);
    return it == tools.end() ? nullptr : &*it;
}
} // namespace

const ToolEntry* findToolByButton(const ToolList& tools, const QString& button)
{
    return find(tools, [&](const ToolEntry& e) { return e.button == button; });
}

const ToolEntry* findToolByForm(const ToolList& tools, const QString& form)
{
    return find(tools, [&](const ToolEntry& e) { return e.form == form; });
}

} // namespace tqdt
