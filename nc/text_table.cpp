#include "nc/text_table.h"

namespace nc {

int TextTable::id(std::string_view text) {
    const auto found = ids_.find(std::string(text));
    if (found != ids_.end()) return found->second;
    const int id = static_cast<int>(texts_.size());
    texts_.emplace_back(text);
    ids_.emplace(texts_.back(), id);
    return id;
}

const std::string &TextTable::text(int id) const {
    static const std::string none;
    return id >= 0 && static_cast<std::size_t>(id) < texts_.size() ? texts_[static_cast<std::size_t>(id)] : none;
}

}  // namespace nc
