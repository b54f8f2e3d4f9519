#include "plot/layout.hpp"

#include <algorithm>
#include <string_view>

PlotLayout PlotLayout::cut_at_colon(const char* line, std::size_t width, std::size_t* column) const
{
    std::size_t kept = count_;
    if (column != nullptr) *column = width;
    for (const LayoutColon& colon : colons()) {
        const std::size_t from = std::min<std::size_t>(colon.column, width);
        if (std::string_view(line + from, width - from).find_first_not_of(' ') == std::string_view::npos) {
            kept = colon.field;
            if (column != nullptr) *column = colon.column;
            break;
        }
    }
    PlotLayout cut;
    for (std::size_t i = 0; i < kept; ++i) cut.add_field(fields_[i]);
    cut.finish();
    return cut;
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
