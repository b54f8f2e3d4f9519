#include "map/svg_map.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "map/receptor_layout.hpp"
#include "map/svg_text.hpp"
#include "map/ticks.hpp"
#include "plot/data_line.hpp"

namespace {

// The page, in pixels.
constexpr double kCanvasWidth = 1000;
constexpr double kPlotLeft = 90;
constexpr double kPlotTop = 96;
constexpr double kPlotBox = 640;  // the longer side of the map
constexpr double kBarLeft = kPlotLeft + kPlotBox + 60;
constexpr double kBarWidth = 22;
constexpr double kBarHeight = 320;
constexpr double kLineHeight = 16;
constexpr double kPixelsPerTick = 90;
constexpr double kCharacterWidth = 6.8;  // an estimate at 12 px, for the label's backing
constexpr double kDotPadding = 0.04;     // of the longer side, around scattered receptors

enum class Drawing { Cells, Dots, Binned };

// Something to colour: a grid cell, a dot or a bin, at the centre of its place.
struct Mark {
    double x;
    double y;
    float value;
};

std::string hex_colour(const Rgb& colour)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
        text += kDigits[channel >> 4];
        text += kDigits[channel & 0xf];
    }
    return text;
}

class MapDrawer {
public:
    explicit MapDrawer(const MapSubject& subject) : subject_(subject), receptors_(subject.contents.receptors) {}

    std::string draw()
    {
        arrange();
        const ColourScale scale = ColourScale::choose(positive_range(), subject_.scale_choice);
        const double height = std::max(kPlotTop + plot_height_ + 60, legend_bottom() + 20);
        out_.reserve(2 * 1024 * 1024);
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + svg_number(kCanvasWidth) + "\" height=\"" +
                svg_number(height) + "\" viewBox=\"0 0 " + svg_number(kCanvasWidth) + ' ' + svg_number(height) +
                "\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"12\">\n";
        out_ += "<title>" + xml_text(subject_.title) + "</title>\n";
        out_ += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
        draw_headings();
        draw_marks(scale);
        draw_axes();
        draw_highest();
        draw_colour_bar(scale);
        draw_legend();
        out_ += "</svg>\n";
        return std::move(out_);
    }

private:
    PositiveRange positive_range() const
    {
        PositiveRange range;
        for (std::size_t i = 0; i < receptors_.size(); ++i) range.include(receptors_[i].value);
        return range;
    }

    // Chooses how receptors are drawn and the model rectangle the map shows.
    void arrange()
    {
        const Extent extent = extent_of(receptors_);
        placed_ = extent.placed;
        if (placed_ > BINNING_THRESHOLD) {
            arrange_binned(extent);
        } else if (const std::optional<GridSpacing> grid = detect_grid(receptors_)) {
            drawing_ = Drawing::Cells;
            cell_width_ = grid->x_step;
            cell_height_ = grid->y_step;
            x_low_ = extent.x_low - cell_width_ / 2;
            x_high_ = extent.x_high + cell_width_ / 2;
            y_low_ = extent.y_low - cell_height_ / 2;
            y_high_ = extent.y_high + cell_height_ / 2;
            for_each_placed([this](const MapReceptor& r) { marks_.push_back({r.x, r.y, r.value}); });
        } else {
            drawing_ = Drawing::Dots;
            const double longer = std::max(extent.x_high - extent.x_low, extent.y_high - extent.y_low);
            const double padding = longer > 0 ? kDotPadding * longer : 1.0;
            x_low_ = extent.x_low - padding;
            x_high_ = extent.x_high + padding;
            y_low_ = extent.y_low - padding;
            y_high_ = extent.y_high + padding;
            for_each_placed([this](const MapReceptor& r) { marks_.push_back({r.x, r.y, r.value}); });
        }
        scale_ = std::min(kPlotBox / (x_high_ - x_low_), kPlotBox / (y_high_ - y_low_));
        plot_width_ = (x_high_ - x_low_) * scale_;
        plot_height_ = (y_high_ - y_low_) * scale_;
        const double spacing = std::sqrt(plot_width_ * plot_height_ / static_cast<double>(std::max<std::size_t>(placed_, 1)));
        dot_radius_ = std::clamp(0.3 * spacing, 2.0, 8.0);
    }

    void arrange_binned(const Extent& extent)
    {
        drawing_ = Drawing::Binned;
        binned_ = bin_receptors(receptors_, extent, BINNED_CELLS);
        cell_width_ = cell_height_ = binned_.cell_size;
        x_low_ = binned_.x_low;
        y_low_ = binned_.y_low;
        x_high_ = x_low_ + binned_.columns * binned_.cell_size;
        y_high_ = y_low_ + binned_.rows * binned_.cell_size;
        for (int row = 0; row < binned_.rows; ++row) {
            for (int column = 0; column < binned_.columns; ++column) {
                const std::size_t at = binned_.index(column, row);
                if (!binned_.counted[at]) continue;
                marks_.push_back({x_low_ + (column + 0.5) * binned_.cell_size, y_low_ + (row + 0.5) * binned_.cell_size,
                                  binned_.highest[at]});
            }
        }
    }

    template <typename Action>
    void for_each_placed(Action action) const
    {
        for (std::size_t i = 0; i < receptors_.size(); ++i) {
            if (has_place(receptors_[i])) action(receptors_[i]);
        }
    }

    double page_x(double x) const { return kPlotLeft + (x - x_low_) * scale_; }
    double page_y(double y) const { return kPlotTop + (y_high_ - y) * scale_; }

    void text(double x, double y, std::string_view anchor, std::string_view bytes, std::string_view extra = {})
    {
        out_ += "<text x=\"" + svg_number(x) + "\" y=\"" + svg_number(y) + '"';
        if (anchor != "start") out_ += " text-anchor=\"" + std::string(anchor) + '"';
        if (!extra.empty()) out_ += ' ' + std::string(extra);
        out_ += '>';
        append_xml_text(out_, bytes);
        out_ += "</text>\n";
    }

    void line(double x1, double y1, double x2, double y2)
    {
        out_ += "<line x1=\"" + svg_number(x1) + "\" y1=\"" + svg_number(y1) + "\" x2=\"" + svg_number(x2) +
                "\" y2=\"" + svg_number(y2) + "\"/>\n";
    }

    void draw_headings()
    {
        text(kPlotLeft, 34, "start", subject_.title, "font-size=\"18\" font-weight=\"bold\"");
        const std::size_t count = receptors_.size();
        std::string beneath(subject_.file_name);
        beneath += ", " + std::to_string(count) + (count == 1 ? " receptor" : " receptors");
        text(kPlotLeft, 58, "start", beneath, "font-size=\"13\"");
    }

    // Marks grouped by colour, lowest level first, so that where marks overlap
    // the higher value shows; within a colour in file order. One path a colour
    // keeps the document small.
    void draw_marks(const ColourScale& scale)
    {
        std::vector<std::vector<std::uint32_t>> by_colour(COLOUR_LEVELS + 1);
        for (std::size_t i = 0; i < marks_.size(); ++i) {
            const std::optional<int> level = scale.level(marks_[i].value);
            by_colour[level ? static_cast<std::size_t>(*level) + 1 : 0].push_back(static_cast<std::uint32_t>(i));
        }
        const bool dots = drawing_ == Drawing::Dots;
        if (dots) {
            out_ += "<g id=\"receptors\" fill=\"none\" stroke-linecap=\"round\" stroke-width=\"" +
                    svg_number(2 * dot_radius_) + "\">\n";
        } else {
            out_ += "<g id=\"receptors\" shape-rendering=\"crispEdges\">\n";
        }
        const double width = cell_width_ * scale_;
        const double height = cell_height_ * scale_;
        for (std::size_t bucket = 0; bucket < by_colour.size(); ++bucket) {
            if (by_colour[bucket].empty()) continue;
            const Rgb colour = bucket == 0 ? NEUTRAL_COLOUR : level_colour(static_cast<int>(bucket) - 1);
            out_ += dots ? "<path stroke=\"" : "<path fill=\"";
            out_ += hex_colour(colour) + "\" d=\"";
            for (const std::uint32_t index : by_colour[bucket]) {
                const Mark& mark = marks_[index];
                out_ += 'M';
                if (dots) {
                    append_svg_number(out_, page_x(mark.x));
                    out_ += ' ';
                    append_svg_number(out_, page_y(mark.y));
                    out_ += "h0";
                } else {
                    append_svg_number(out_, page_x(mark.x) - width / 2);
                    out_ += ' ';
                    append_svg_number(out_, page_y(mark.y) - height / 2);
                    out_ += 'h';
                    append_svg_number(out_, width);
                    out_ += 'v';
                    append_svg_number(out_, height);
                    out_ += "h-";
                    append_svg_number(out_, width);
                    out_ += 'z';
                }
            }
            out_ += "\"/>\n";
        }
        out_ += "</g>\n";
    }

    void draw_axes()
    {
        const double bottom = kPlotTop + plot_height_;
        out_ += "<g id=\"axes\" stroke=\"#333333\" stroke-width=\"1\">\n";
        out_ += "<rect id=\"frame\" x=\"" + svg_number(kPlotLeft) + "\" y=\"" + svg_number(kPlotTop) + "\" width=\"" +
                svg_number(plot_width_) + "\" height=\"" + svg_number(plot_height_) + "\" fill=\"none\"/>\n";
        const auto x_ticks = round_ticks(x_low_, x_high_, std::max(1, static_cast<int>(plot_width_ / kPixelsPerTick)));
        const auto y_ticks = round_ticks(y_low_, y_high_, std::max(1, static_cast<int>(plot_height_ / kPixelsPerTick)));
        for (const Tick& tick : x_ticks) line(page_x(tick.value), bottom, page_x(tick.value), bottom + 5);
        for (const Tick& tick : y_ticks) line(kPlotLeft - 5, page_y(tick.value), kPlotLeft, page_y(tick.value));
        out_ += "</g>\n<g id=\"axis-labels\" fill=\"#333333\">\n";
        for (const Tick& tick : x_ticks) text(page_x(tick.value), bottom + 18, "middle", tick.label);
        for (const Tick& tick : y_ticks) text(kPlotLeft - 8, page_y(tick.value) + 4, "end", tick.label);
        text(kPlotLeft + plot_width_ / 2, bottom + 40, "middle", "x");
        const std::string y_place = svg_number(kPlotLeft - 70) + ' ' + svg_number(kPlotTop + plot_height_ / 2);
        text(kPlotLeft - 70, kPlotTop + plot_height_ / 2, "middle", "y", "transform=\"rotate(-90 " + y_place + ")\"");
        if (placed_ == 0) text(kPlotLeft + plot_width_ / 2, kPlotTop + plot_height_ / 2, "middle", "no receptor to draw");
        out_ += "</g>\n";
    }

    // A ring around the highest receptor, and its value and place beside it,
    // on the side towards the middle of the map.
    void draw_highest()
    {
        const auto& highest = subject_.contents.highest;
        if (highest.empty()) return;
        const RankedLine& top = highest.front();
        if (!has_place({top.x, top.y, top.value})) return;
        const double x = page_x(top.x);
        const double y = page_y(top.y);
        const double ring = drawing_ == Drawing::Dots
                                ? dot_radius_ + 4
                                : std::clamp(0.5 * std::max(cell_width_, cell_height_) * scale_ + 3, 7.0, 14.0);
        out_ += "<g id=\"highest\" fill=\"none\">\n";
        out_ += "<circle cx=\"" + svg_number(x) + "\" cy=\"" + svg_number(y) + "\" r=\"" + svg_number(ring) +
                "\" stroke=\"#ffffff\" stroke-width=\"4\"/>\n";
        out_ += "<circle cx=\"" + svg_number(x) + "\" cy=\"" + svg_number(y) + "\" r=\"" + svg_number(ring) +
                "\" stroke=\"#000000\" stroke-width=\"2\"/>\n";
        const MappedFields& fields = subject_.contents.fields;
        const std::string label = "highest " + written_number(fields.value, top.value) + " at " +
                                  written_number(fields.x, top.x) + ", " + written_number(fields.y, top.y);
        const bool leftwards = x > kPlotLeft + plot_width_ / 2;
        const double anchor_x = leftwards ? x - ring - 6 : x + ring + 6;
        const double width = kCharacterWidth * static_cast<double>(label.size()) + 6;
        out_ += "<rect x=\"" + svg_number(leftwards ? anchor_x - width + 3 : anchor_x - 3) + "\" y=\"" +
                svg_number(y - 10) + "\" width=\"" + svg_number(width) +
                "\" height=\"18\" fill=\"#ffffff\" fill-opacity=\"0.85\"/>\n";
        text(anchor_x, y + 4, leftwards ? "end" : "start", label, "fill=\"#000000\"");
        out_ += "</g>\n";
    }

    void draw_colour_bar(const ColourScale& scale)
    {
        out_ += "<defs><linearGradient id=\"viridis\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"0\">";
        for (int i = 0; i < VIRIDIS_ANCHORS; ++i) {
            out_ += "<stop offset=\"" + svg_number(i / double(VIRIDIS_ANCHORS - 1)) + "\" stop-color=\"" +
                    hex_colour(viridis_anchor(i)) + "\"/>";
        }
        out_ += "</linearGradient></defs>\n<g id=\"colour-bar\">\n";
        text(kBarLeft, kPlotTop - 12, "start", scale.logarithmic() ? "value, logarithmic scale" : "value, linear scale");
        out_ += "<rect x=\"" + svg_number(kBarLeft) + "\" y=\"" + svg_number(kPlotTop) + "\" width=\"" +
                svg_number(kBarWidth) + "\" height=\"" + svg_number(kBarHeight) +
                "\" fill=\"url(#viridis)\" stroke=\"#333333\"/>\n";
        if (positive_range().empty()) {
            text(kBarLeft + kBarWidth + 8, kPlotTop + kBarHeight / 2, "start", "no positive value");
        } else {
            const auto ticks = scale.logarithmic() ? decade_ticks(scale.low(), scale.high())
                                                   : round_ticks(scale.low(), scale.high(), 6);
            const double span = scale.high() - scale.low();
            out_ += "<g stroke=\"#333333\">\n";
            for (const Tick& tick : ticks) {
                const double place = span > 0 ? (tick.value - scale.low()) / span : 1.0;
                const double y = kPlotTop + (1 - place) * kBarHeight;
                line(kBarLeft + kBarWidth, y, kBarLeft + kBarWidth + 5, y);
            }
            out_ += "</g>\n";
            for (const Tick& tick : ticks) {
                const double place = span > 0 ? (tick.value - scale.low()) / span : 1.0;
                text(kBarLeft + kBarWidth + 8, kPlotTop + (1 - place) * kBarHeight + 4, "start", tick.label);
            }
        }
        out_ += "</g>\n";
    }

    std::vector<std::string> legend_lines() const
    {
        std::vector<std::string> lines;
        lines.push_back(std::string(NEUTRAL_COLOUR_NAME) + ": zero, negative");
        lines.push_back("or not finite");
        lines.emplace_back();
        if (drawing_ == Drawing::Binned) {
            lines.push_back("binned: " + std::to_string(binned_.columns) + " x " + std::to_string(binned_.rows) +
                            " cells of " + significant_text(binned_.cell_size));
            lines.push_back("units, each showing the highest");
            lines.push_back("value of the receptors in it");
        } else if (drawing_ == Drawing::Cells) {
            lines.push_back("grid cells of " + significant_text(cell_width_) + " x " + significant_text(cell_height_));
            lines.push_back("units");
        } else {
            lines.push_back("dots: scattered receptors");
        }
        const std::size_t unplaced = receptors_.size() - placed_;
        if (unplaced > 0) {
            lines.emplace_back();
            lines.push_back(std::to_string(unplaced) + (unplaced == 1 ? " receptor" : " receptors") + " without");
            lines.push_back("finite x and y not drawn");
        }
        return lines;
    }

    double legend_top() const { return kPlotTop + kBarHeight + 40; }
    double legend_bottom() const { return legend_top() + kLineHeight * static_cast<double>(legend_lines().size()); }

    void draw_legend()
    {
        const double top = legend_top();
        out_ += "<g id=\"legend\">\n";
        out_ += "<rect x=\"" + svg_number(kBarLeft) + "\" y=\"" + svg_number(top - 11) +
                "\" width=\"14\" height=\"14\" fill=\"" + hex_colour(NEUTRAL_COLOUR) + "\" stroke=\"#333333\"/>\n";
        const auto lines = legend_lines();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].empty()) continue;
            const double indent = i < 2 ? 20 : 0;
            text(kBarLeft + indent, top + kLineHeight * static_cast<double>(i), "start", lines[i]);
        }
        out_ += "</g>\n";
    }

    const MapSubject& subject_;
    const ReceptorStore& receptors_;
    std::string out_;
    Drawing drawing_ = Drawing::Dots;
    std::vector<Mark> marks_;
    BinnedCells binned_;
    std::size_t placed_ = 0;
    double x_low_ = 0, x_high_ = 1, y_low_ = 0, y_high_ = 1;
    double cell_width_ = 0, cell_height_ = 0;
    double scale_ = 1, plot_width_ = 0, plot_height_ = 0, dot_radius_ = 4;
};

}  // namespace

std::string draw_map(const MapSubject& subject) { return MapDrawer(subject).draw(); }
