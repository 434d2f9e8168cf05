// json_tree.h - one part of a job file (a section, a work step, an item of a
// long list) as parsed: its values in one array in the order of the text,
// their texts in one buffer.
//
// The reader empties the tree and fills it again part after part, so a job
// of a million steps allocates nothing for its steps after the first few.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "job/json_path.h"

namespace job {

enum class JsonKind : unsigned char {
    null,
    boolean,
    negative_integer,  // a whole number written with "-"
    integer,           // a whole number written without "-"
    fraction,          // any other number
    text,
    array,
    object,
};

// Two keys alike.  Keys are short and mostly differ in their first byte.
inline bool same_key(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

// What a value is, for messages: "an object", "a text", ...
const char *kind_name(JsonKind kind);

// One value.  Its members follow it in the tree, the first one right after it.
struct JsonNode {
    static constexpr std::size_t NONE = static_cast<std::size_t>(-1);

    JsonKind kind = JsonKind::null;
    bool truth = false;               // boolean
    union {
        long long negative = 0;       // negative_integer
        unsigned long long whole;     // integer
    };
    double number = 0.0;              // every number, as a double
    std::size_t text_at = 0;          // text: its bytes in the tree's buffer
    std::size_t text_size = 0;
    std::size_t members = 0;          // array, object: its members now held
    std::size_t first_index = 0;      // array: the index of the first of them in the file
    std::size_t key_at = 0;           // a member of an object: its key
    std::size_t key_size = 0;
    std::size_t next = 0;             // the parent's next member, 0 after the last
    std::size_t parent = NONE;        // the container it is a member of
};

class JsonTree {
public:
    // ---- Reading ----
    const JsonNode &node(std::size_t at) const { return nodes_[at]; }
    std::string_view text(const JsonNode &n) const { return {chars_.data() + n.text_at, n.text_size}; }
    std::string_view key(const JsonNode &n) const { return {chars_.data() + n.key_at, n.key_size}; }
    // The member named name of the object at `object`, or 0 (the root is no
    // member of anything).
    std::size_t find(std::size_t object, std::string_view name) const;
    // The member at index of the array or object at `container`.  Walking
    // the members in order costs a step each, however many there are.
    std::size_t element(std::size_t container, std::size_t index) const;
    // The JSON path of the value at `at`: the part's own path, then a key or
    // an index per level.  Its keys point into the tree: a path lives no
    // longer than the tree is left unchanged.
    JsonPath path_of(std::size_t at) const;

    // ---- Building, in the order of the text ----
    // Empties the tree for a part at path.
    void clear(const JsonPath &path = JsonPath());
    // Each adds a value as the next member of the innermost open container,
    // or as the whole value when none is open.
    void add_null() { add(JsonKind::null); }
    void add_boolean(bool value) { add(JsonKind::boolean).truth = value; }
    void add_negative_integer(long long value) {
        JsonNode &node = add(JsonKind::negative_integer);
        node.negative = value;
        node.number = static_cast<double>(value);
    }
    void add_integer(unsigned long long value) {
        JsonNode &node = add(JsonKind::integer);
        node.whole = value;
        node.number = static_cast<double>(value);
    }
    void add_fraction(double value) { add(JsonKind::fraction).number = value; }
    void add_text(std::string_view text);
    // Names the next member of the innermost open object; false when the
    // object has a member of that name already.
    bool add_key(std::string_view name);
    // Adds an array or object and opens it, until close().
    void open(JsonKind container);
    void close();
    // The key given for the next member, before its value is added.
    std::string_view pending_key() const { return {chars_.data() + key_at_, key_size_}; }

    // ---- The open containers, outermost first ----
    std::size_t depth() const { return open_.size(); }
    std::size_t open_at(std::size_t level) const { return open_[level].node; }
    const JsonNode &open_node(std::size_t level) const { return nodes_[open_[level].node]; }
    // The last member added to the open container at level (0 when none).
    std::size_t last_member(std::size_t level) const { return open_[level].last; }
    // Forgets the members of the innermost open container, which keeps its
    // place: the items of a long list once they have been read.
    void drop_open_members();

private:
    struct Open {
        std::size_t node;
        std::size_t last = 0;        // its last member so far
        std::size_t chars_at = 0;    // the buffer's size when it was opened
        // An object of many members finds a repeated key through this set
        // instead of walking its members.
        std::unique_ptr<std::unordered_set<std::string>> many_keys;
    };
    // Keys compared by walking an object's members up to this many members.
    static constexpr std::size_t FEW_MEMBERS = 16;

    // Adds a value of that kind, empty, and answers it to be filled in.
    JsonNode &add(JsonKind kind);
    std::size_t keep(std::string_view bytes);

    // The member that element() found last: the next one asked for is
    // mostly the one after it.
    struct Cursor {
        std::size_t container = JsonNode::NONE;
        std::size_t index = 0;
        std::size_t at = 0;
    };
    void forget_cursor() const { cursor_ = Cursor{}; }

    std::vector<JsonNode> nodes_;
    mutable Cursor cursor_;
    std::string chars_;              // the bytes of every text and key
    std::vector<Open> open_;
    JsonPath path_;                  // the path of the whole value
    std::size_t key_at_ = 0;         // the key given for the next member
    std::size_t key_size_ = 0;
};

// Reads a whole JSON text into tree, emptied first for a value at path
// (small texts: tests, a default value).  Throws JobError for a text that is
// no JSON or that gives a key twice.
void read_json_tree(std::string_view text, JsonTree &tree, const JsonPath &path = JsonPath());

}  // namespace job
