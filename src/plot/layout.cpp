#include "plot/layout.hpp"

#include <algorithm>
#include <utility>

namespace {

// One item of a FORMAT list as written: n blank columns, a field descriptor,
// or a group, each repeated.
struct ListItem {
    enum class Kind { Blanks, Field, Group } kind = Kind::Field;
    std::size_t repeat = 1;
    std::size_t blanks = 0;
    LayoutField field;
    std::vector<ListItem> group;
};

// Larger numbers than this make a layout too wide whatever they count;
// holding them as this keeps every sum far from overflow.
constexpr std::size_t kNumberCap = MAX_LAYOUT_WIDTH + 1;

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A recursive descent over the list with its blanks removed, as Fortran
// ignores them there.
class ListParser {
public:
    explicit ListParser(std::string text) : text_(std::move(text)) {}

    std::optional<std::vector<ListItem>> parse(std::string& problem)
    {
        std::vector<ListItem> items;
        if (!parse_group(items) || at_ != text_.size()) {
            problem = problem_.empty() ? "the list is not one parenthesised list" : problem_;
            return std::nullopt;
        }
        return items;
    }

private:
    char peek() const { return at_ < text_.size() ? upper(text_[at_]) : '\0'; }

    std::optional<std::size_t> number()
    {
        if (!is_digit(peek())) return std::nullopt;
        std::size_t value = 0;
        while (is_digit(peek())) value = std::min(value * 10 + static_cast<std::size_t>(text_[at_++] - '0'), kNumberCap);
        return value;
    }

    // Records what went wrong at the item that starts at item_start.
    bool fail(std::size_t item_start)
    {
        if (!problem_.empty()) return false;
        const std::size_t end = text_.find_first_of(",()", std::max(at_, item_start + 1));
        const std::string item = text_.substr(item_start, end == std::string::npos ? std::string::npos : end - item_start);
        if (item_start >= text_.size()) {
            problem_ = "a closing parenthesis is missing";
        } else if (text_[item_start] == ',' || text_[item_start] == ')') {
            problem_ = "the list has an empty item";
        } else {
            problem_ = "'" + item + "' is not an edit descriptor that can be read";
        }
        return false;
    }

    // '(' item {',' item} ')'
    bool parse_group(std::vector<ListItem>& items)
    {
        if (peek() != '(') return fail(at_);
        ++at_;
        for (;;) {
            const std::size_t item_start = at_;
            items.emplace_back();
            if (!parse_item(items.back())) return false;
            if (peek() == ',') {
                ++at_;
            } else if (peek() == ')') {
                ++at_;
                return true;
            } else {
                return fail(at_ == text_.size() ? at_ : item_start);
            }
        }
    }

    bool parse_item(ListItem& item)
    {
        const std::size_t start = at_;
        const std::optional<std::size_t> count = number();
        if (count == 0) return fail(start);
        item.repeat = count.value_or(1);
        const char letter = peek();
        if (letter == ',' || letter == ')' || letter == '\0') return fail(start);
        if (letter == '(') {
            item.kind = ListItem::Kind::Group;
            return parse_group(item.group);
        }
        ++at_;
        if (letter == 'X') {
            if (!count) return fail(start);
            item.kind = ListItem::Kind::Blanks;
            item.blanks = *count;
            item.repeat = 1;
            return true;
        }
        return parse_descriptor(letter, item.field) || fail(start);
    }

    // The letter is taken; w, and .d or .m where the descriptor has them.
    bool parse_descriptor(char letter, LayoutField& field)
    {
        const std::optional<std::size_t> width = number();
        if (!width || *width == 0) return false;
        field.width = static_cast<std::uint16_t>(*width);
        std::optional<std::size_t> digits;
        if (peek() == '.') {
            ++at_;
            digits = number();
            if (!digits) return false;
        }
        switch (letter) {
        case 'F':
        case 'E':
            if (!digits || (letter == 'E' && *digits == 0)) return false;
            field.kind = letter == 'F' ? FieldKind::Fixed : FieldKind::Exponent;
            break;
        case 'I':
            if (digits && *digits > *width) return false;
            field.kind = FieldKind::Integer;
            digits = digits.value_or(1);
            break;
        case 'A':
            if (digits) return false;
            field.kind = FieldKind::Text;
            break;
        default: return false;
        }
        if (digits >= kNumberCap) return false;
        field.digits = static_cast<std::uint16_t>(digits.value_or(0));
        return true;
    }

    std::string text_;
    std::size_t at_ = 0;
    std::string problem_;
};

// Lays the items out from column offset `column` on; false as soon as the
// line would grow wider than MAX_LAYOUT_WIDTH, which also ends any repeat.
bool expand(const std::vector<ListItem>& items, std::vector<LayoutField>& fields, std::size_t& column)
{
    for (const ListItem& item : items) {
        for (std::size_t i = 0; i < item.repeat; ++i) {
            if (item.kind == ListItem::Kind::Group) {
                if (!expand(item.group, fields, column)) return false;
                continue;
            }
            const std::size_t width = item.kind == ListItem::Kind::Blanks ? item.blanks : item.field.width;
            if (column + width > MAX_LAYOUT_WIDTH) return false;
            if (item.kind == ListItem::Kind::Field) {
                fields.push_back(item.field);
                fields.back().offset = static_cast<std::uint16_t>(column);
            }
            column += width;
        }
    }
    return true;
}

std::string usability_problem(const std::vector<LayoutField>& fields)
{
    const auto reals = std::count_if(fields.begin(), fields.end(), [](const LayoutField& f) { return f.is_real(); });
    if (reals < 3) return "it has fewer than three real fields (F or E)";
    if (!fields[0].is_real() || !fields[1].is_real()) return "its first two fields, x and y, are not both real fields";
    return {};
}

bool is_blank(char c) { return c == ' '; }

}  // namespace

PlotLayout::PlotLayout(std::vector<LayoutField> fields, std::size_t width) : fields_(std::move(fields)), width_(width)
{
    std::size_t reals_seen = 0;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (!fields_[i].is_real() || ++reals_seen <= 2) continue;
        if (fields_[i].width < VALUE_FIELD_MIN_WIDTH) break;
        value_fields_.push_back(i);
    }
}

LayoutReading read_layout(std::string_view list)
{
    std::string packed;
    std::copy_if(list.begin(), list.end(), std::back_inserter(packed), [](char c) { return !is_blank(c); });
    LayoutReading reading;
    const std::optional<std::vector<ListItem>> items = ListParser(packed).parse(reading.problem);
    if (!items) return reading;
    std::vector<LayoutField> fields;
    std::size_t width = 0;
    if (!expand(*items, fields, width)) {
        reading.problem = "it describes more than " + std::to_string(MAX_LAYOUT_WIDTH) + " columns";
        return reading;
    }
    reading.problem = usability_problem(fields);
    if (reading.problem.empty()) reading.layout.emplace(std::move(fields), width);
    return reading;
}

const PlotLayout& today_layout()
{
    static const PlotLayout layout = *read_layout(TODAY_LAYOUT_LIST).layout;
    return layout;
}

std::optional<std::string_view> format_line_text(std::string_view header_line)
{
    constexpr std::string_view kKeyword = "FORMAT:";
    std::size_t at = 1;
    while (at < header_line.size() && is_blank(header_line[at])) ++at;
    if (header_line.substr(at, kKeyword.size()) != kKeyword) return std::nullopt;
    return header_line.substr(at + kKeyword.size());
}

LayoutReading read_format_text(std::string_view text)
{
    const std::size_t open = text.find_first_not_of(' ');
    if (open == std::string_view::npos || text[open] != '(') return {std::nullopt, "no parenthesised list follows FORMAT:"};
    int depth = 0;
    std::size_t close = open;
    for (; close < text.size(); ++close) {
        if (text[close] == '(') ++depth;
        if (text[close] == ')' && --depth == 0) break;
    }
    if (close == text.size()) return {std::nullopt, "a closing parenthesis is missing"};
    if (text.find_first_not_of(' ', close + 1) != std::string_view::npos) {
        return {std::nullopt, "text follows the closing parenthesis of the list"};
    }
    return read_layout(text.substr(open, close + 1 - open));
}

std::string descriptor_text(const LayoutField& field)
{
    static constexpr char kLetters[] = {'F', 'E', 'I', 'A'};
    std::string text(1, kLetters[static_cast<int>(field.kind)]);
    text += std::to_string(field.width);
    if (field.kind == FieldKind::Fixed || field.kind == FieldKind::Exponent || field.digits != 1) {
        if (field.kind != FieldKind::Text) text += '.' + std::to_string(field.digits);
    }
    return text;
}
