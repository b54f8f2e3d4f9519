#include "map/column_names.hpp"

#include <algorithm>
#include <unordered_set>

#include "plot/header_phase.hpp"

namespace {

constexpr std::size_t kBlanksBetweenTitles = 2;

bool is_title_byte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || byte >= 0x80;
}

std::string fallback_name(const PlotLayout& layout, std::size_t index)
{
    if (index < 2) return index == 0 ? "x" : "y";
    const LayoutField& field = layout.field(index);
    if (field.is_value) {
        const auto values = layout.value_fields();
        const auto k = static_cast<std::size_t>(std::find(values.begin(), values.end(), index) - values.begin());
        return "value_" + std::to_string(k + 1);
    }
    const std::string number = std::to_string(index + 1);
    switch (field.kind) {
    case FieldKind::Fixed:
    case FieldKind::Exponent: return "real_" + number;
    case FieldKind::Integer: return "integer_" + number;
    case FieldKind::Text: break;
    }
    return "text_" + number;
}

// name, or name_2, name_3, ..., the first not taken; then taken.
std::string unique_name(std::string name, std::unordered_set<std::string>& taken)
{
    std::string candidate = name;
    for (int suffix = 2; taken.contains(candidate); ++suffix) candidate = name + '_' + std::to_string(suffix);
    taken.insert(candidate);
    return candidate;
}

}  // namespace

std::optional<std::vector<std::string>> title_words(const PlotLayout& layout, std::string_view header_line)
{
    const auto fields = layout.fields();
    std::vector<std::string> words(fields.size());
    std::size_t fields_named = 0;
    std::size_t first_field = 0;  // words come in column order, so fields before this one end before them
    std::size_t last_field = fields.size();
    std::size_t last_end = 0;
    for (std::size_t at = 1; at < header_line.size();) {
        if (header_line[at] == ' ') {
            ++at;
            continue;
        }
        const std::size_t begin = at;
        while (at < header_line.size() && header_line[at] != ' ') ++at;
        const std::string_view word = header_line.substr(begin, at - begin);
        if (std::none_of(word.begin(), word.end(), is_title_byte)) continue;
        while (first_field < fields.size() && fields[first_field].offset + fields[first_field].width <= begin) ++first_field;
        std::size_t overlapped = 0;
        for (std::size_t i = first_field; i < fields.size() && fields[i].offset < at; ++i) ++overlapped;
        if (overlapped != 1) return std::nullopt;
        // Prose parts its words by one blank; titles of neighbouring fields stand further apart.
        if (last_field != fields.size() && last_field != first_field && begin - last_end < kBlanksBetweenTitles) {
            return std::nullopt;
        }
        last_field = first_field;
        last_end = at;
        std::string& named = words[first_field];
        if (named.empty()) ++fields_named;
        if (!named.empty()) named += ' ';
        named += word;
    }
    if (fields_named < 2) return std::nullopt;
    return words;
}

ColumnNames column_names(const PlotLayout& layout, std::span<const std::string> header_lines)
{
    std::optional<std::vector<std::string>> words;
    for (auto line = header_lines.rbegin(); line != header_lines.rend() && !words; ++line) {
        if (format_text_of(line->data(), line->size())) continue;
        words = title_words(layout, *line);
    }
    ColumnNames names;
    std::unordered_set<std::string> taken;
    for (std::size_t i = 0; i < layout.field_count(); ++i) {
        const bool titled = words && !(*words)[i].empty();
        names.names.push_back(unique_name(titled ? (*words)[i] : fallback_name(layout, i), taken));
        names.titled.push_back(titled ? 1 : 0);
    }
    return names;
}

std::string value_field_name(const ColumnNames& names, std::size_t index, std::size_t k)
{
    if (index < names.names.size() && names.titled[index]) return names.names[index];
    return k == 1 ? "value" : "value_" + std::to_string(k);
}
