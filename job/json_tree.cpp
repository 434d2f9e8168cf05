// json_tree.cpp - building and walking one parsed part of a job file.
#include "job/json_tree.h"

#include "job/job_reader.h"
#include "job/json_scanner.h"

namespace job {

const char *kind_name(JsonKind kind) {
    switch (kind) {
    case JsonKind::null: return "null";
    case JsonKind::boolean: return "true/false";
    case JsonKind::negative_integer:
    case JsonKind::integer: return "a number";
    case JsonKind::fraction: return "a number with a fraction";
    case JsonKind::text: return "a text";
    case JsonKind::array: return "an array";
    case JsonKind::object: return "an object";
    }
    return "a value";
}

std::size_t JsonTree::find(std::size_t object, std::string_view name) const {
    const JsonNode &o = nodes_[object];
    std::size_t at = o.members > 0 ? object + 1 : 0;
    while (at != 0 && !same_key(key(nodes_[at]), name)) at = nodes_[at].next;
    return at;
}

std::size_t JsonTree::element(std::size_t container, std::size_t index) const {
    std::size_t at = container + 1;
    std::size_t i = 0;
    if (cursor_.container == container && cursor_.index <= index) {
        at = cursor_.at;
        i = cursor_.index;
    }
    for (; i < index; ++i) at = nodes_[at].next;
    cursor_ = Cursor{container, index, at};
    return at;
}

JsonPath JsonTree::path_of(std::size_t at) const {
    // The values from the whole one down to at.
    std::vector<std::size_t> chain;
    for (std::size_t n = at; n != JsonNode::NONE; n = nodes_[n].parent) chain.push_back(n);
    JsonPath path = path_;
    for (std::size_t i = chain.size() - 1; i > 0; --i) {
        const std::size_t container = chain[i];
        const std::size_t member = chain[i - 1];
        if (nodes_[container].kind == JsonKind::object) {
            path = path.key(key(nodes_[member]));
        } else {
            std::size_t index = nodes_[container].first_index;
            for (std::size_t n = container + 1; n != member; n = nodes_[n].next) ++index;
            path = path.index(index);
        }
    }
    return path;
}

void JsonTree::clear(const JsonPath &path) {
    path_ = path;
    forget_cursor();
    nodes_.clear();
    chars_.clear();
    open_.clear();
}

std::size_t JsonTree::keep(std::string_view bytes) {
    const std::size_t at = chars_.size();
    chars_.append(bytes);
    return at;
}

JsonNode &JsonTree::add(JsonKind kind) {
    const std::size_t at = nodes_.size();
    JsonNode &node = nodes_.emplace_back();
    node.kind = kind;
    if (!open_.empty()) {
        Open &parent = open_.back();
        JsonNode &container = nodes_[parent.node];
        if (container.kind == JsonKind::object) {
            node.key_at = key_at_;
            node.key_size = key_size_;
        }
        node.parent = parent.node;
        if (parent.last != 0) nodes_[parent.last].next = at;
        parent.last = at;
        ++container.members;
    }
    return node;
}

void JsonTree::add_text(std::string_view text) {
    const std::size_t at = keep(text);
    JsonNode &node = add(JsonKind::text);
    node.text_at = at;
    node.text_size = text.size();
}

bool JsonTree::add_key(std::string_view name) {
    Open &object = open_.back();
    if (object.many_keys) {
        if (!object.many_keys->emplace(name).second) return false;
    } else {
        for (std::size_t at = nodes_[object.node].members > 0 ? object.node + 1 : 0; at != 0; at = nodes_[at].next) {
            if (same_key(key(nodes_[at]), name)) return false;
        }
        if (nodes_[object.node].members + 1 >= FEW_MEMBERS) {
            object.many_keys = std::make_unique<std::unordered_set<std::string>>();
            for (std::size_t at = object.node + 1; at != 0; at = nodes_[at].next) object.many_keys->emplace(key(nodes_[at]));
            object.many_keys->emplace(name);
        }
    }
    key_size_ = name.size();
    key_at_ = keep(name);
    return true;
}

void JsonTree::open(JsonKind container) {
    const std::size_t at = nodes_.size();
    add(container);
    open_.push_back(Open{at, 0, chars_.size(), nullptr});
}

void JsonTree::close() { open_.pop_back(); }

void JsonTree::drop_open_members() {
    Open &container = open_.back();
    forget_cursor();
    nodes_.resize(container.node + 1);
    chars_.resize(container.chars_at);
    JsonNode &node = nodes_[container.node];
    node.first_index += node.members;
    node.members = 0;
    container.last = 0;
}

namespace {

// The scanner's events straight into a tree.
class TreeBuilder : public JsonEvents {
public:
    explicit TreeBuilder(JsonTree &tree) : tree_(tree) {}
    void null() override { tree_.add_null(); }
    void boolean(bool value) override { tree_.add_boolean(value); }
    void negative_integer(long long value) override { tree_.add_negative_integer(value); }
    void integer(unsigned long long value) override { tree_.add_integer(value); }
    void fraction(double value) override { tree_.add_fraction(value); }
    void text(std::string_view value) override { tree_.add_text(value); }
    void key(std::string_view name) override {
        if (!tree_.add_key(name)) {
            const JsonPath object = tree_.path_of(tree_.open_at(tree_.depth() - 1));
            throw JobError(object.key(name).text() + ": key \"" + std::string(name.substr(0, 60)) + "\" given twice");
        }
    }
    void start_object() override { tree_.open(JsonKind::object); }
    void end_object() override { tree_.close(); }
    void start_array() override { tree_.open(JsonKind::array); }
    void end_array() override { tree_.close(); }

private:
    JsonTree &tree_;
};

}  // namespace

void read_json_tree(std::string_view text, JsonTree &tree, const JsonPath &path) {
    tree.clear(path);
    TextInMemory source(text);
    TreeBuilder builder(tree);
    scan_json(source, builder);
}

}  // namespace job
