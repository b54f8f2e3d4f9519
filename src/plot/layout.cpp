#include "plot/layout.hpp"

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
