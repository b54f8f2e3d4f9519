#include "map/svg_map.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "diagnostics.hpp"
#include "map/receptor_layout.hpp"
#include "map/svg_text.hpp"
#include "map/ticks.hpp"
#include "map/top_table.hpp"
#include "plot/data_line.hpp"

namespace {

// The page, in pixels.
constexpr double kLeastCanvasWidth = 1000;
constexpr double kRightMargin = 20;
constexpr double kLegendMargin = 8;
constexpr double kPlotLeft = 90;
constexpr double kTitleBaseline = 34;
constexpr double kTitleLineHeight = 22;
constexpr double kSubtitleGap = 24;
constexpr double kSubtitleLineHeight = 17;
constexpr double kPlotBelowSubtitle = 38;
constexpr double kPlotBox = 640;  // the longer side of the map
constexpr double kBarLeft = kPlotLeft + kPlotBox + 60;
constexpr double kBarWidth = 22;
constexpr double kBarHeight = 320;
constexpr double kLineHeight = 16;
constexpr double kPixelsPerTick = 90;
// Estimates of a character's width, for wrapping and for backing labels: at
// 12 px, at 18 px bold (the title) and at 13 px (the line beneath it).
constexpr double kCharacterWidth = 6.8;
constexpr double kLegendCharacterWidth = 6.5;
constexpr double kTitleCharacterWidth = 12.6;
constexpr double kSubtitleCharacterWidth = 8.3;
constexpr double kDotPadding = 0.04;  // of the longer side, around scattered receptors
// Contour labels: on lines at least this long on the page, at most this many a level.
constexpr double kLabelledLineLength = 80;
constexpr std::size_t kLabelsPerLevel = 8;

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

std::size_t characters_within(double pixels, double character_width)
{
    return static_cast<std::size_t>(std::max(1.0, pixels / character_width));
}

class MapDrawer {
public:
    explicit MapDrawer(const MapSubject& subject)
        : subject_(subject), receptors_(subject.contents.receptors), fields_(subject.contents.fields),
          scale_(ColourScale::choose(value_range(), subject.scale_choice, subject.levels))
    {
    }

    std::string draw()
    {
        arrange();
        lay_out_page();
        const double height = std::max(plot_top_ + plot_height_ + 60, legend_bottom() + 20);
        out_.reserve(2 * 1024 * 1024);
        out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + svg_number(canvas_width_) + "\" height=\"" +
                svg_number(height) + "\" viewBox=\"0 0 " + svg_number(canvas_width_) + ' ' + svg_number(height) +
                "\" font-family=\"DejaVu Sans, Verdana, sans-serif\" font-size=\"12\">\n";
        out_ += "<title>" + xml_text(subject_.title) + "</title>\n";
        out_ += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
        draw_headings();
        draw_marks();
        draw_axes();
        draw_contours();
        draw_highest();
        draw_colour_bar();
        draw_legend();
        out_ += "</svg>\n";
        return std::move(out_);
    }

private:
    ValueRange value_range() const
    {
        ValueRange range;
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
        scale_factor_ = std::min(kPlotBox / (x_high_ - x_low_), kPlotBox / (y_high_ - y_low_));
        plot_width_ = (x_high_ - x_low_) * scale_factor_;
        plot_height_ = (y_high_ - y_low_) * scale_factor_;
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

    // The page grows to the right for long legend lines; the title and the
    // line beneath it wrap within its width, and the map begins below them.
    void lay_out_page()
    {
        legend_ = legend_lines();
        class_labels_ = class_labels();
        double widest = 0;
        for (std::size_t i = 0; i < legend_.size(); ++i) {
            widest = std::max(widest, (i == 0 ? 20 : 0) + kLegendCharacterWidth * static_cast<double>(shown_length(legend_[i])));
        }
        for (const std::string& label : class_labels_) {
            widest = std::max(widest, kBarWidth + 8 + kLegendCharacterWidth * static_cast<double>(shown_length(label)));
        }
        canvas_width_ = std::max(kLeastCanvasWidth, std::ceil(kBarLeft + widest + kLegendMargin));
        const double text_width = canvas_width_ - kPlotLeft - kRightMargin;
        title_lines_ = wrapped_lines(subject_.title, characters_within(text_width, kTitleCharacterWidth));
        subtitle_lines_ = wrapped_lines(subtitle(), characters_within(text_width, kSubtitleCharacterWidth));
        const double title_lines = static_cast<double>(std::max<std::size_t>(title_lines_.size(), 1));
        subtitle_top_ = kTitleBaseline + (title_lines - 1) * kTitleLineHeight + kSubtitleGap;
        plot_top_ = subtitle_top_ + static_cast<double>(subtitle_lines_.size() - 1) * kSubtitleLineHeight + kPlotBelowSubtitle;
        bar_heading_ = wrapped_lines(bar_heading(), characters_within(canvas_width_ - kBarLeft - kLegendMargin, kLegendCharacterWidth));
        bar_top_ = plot_top_ + static_cast<double>(bar_heading_.size() - 1) * kLineHeight;
    }

    std::string subtitle() const
    {
        const auto& contents = subject_.contents;
        std::string line(subject_.file_name);
        line += ", " + counted(receptors_.size(), "receptor");
        if (contents.receptors_repeat()) line += " on " + counted(contents.data_lines, "data line");
        return line;
    }

    std::string field_name() const
    {
        return value_field_name(subject_.contents.names, fields_.value_index, fields_.value_number);
    }

    std::string bar_heading() const
    {
        switch (scale_.kind()) {
        case ScaleKind::Sequential: return field_name() + (scale_.logarithmic() ? ", logarithmic scale" : ", linear scale");
        case ScaleKind::Diverging:
            return field_name() + (scale_.logarithmic() ? ", logarithmic scale" : ", linear scale") + " around 0";
        case ScaleKind::Classes: break;
        }
        return field_name() + ", classes";
    }

    // Each class named by its bounds, lowest first, in the field's own form.
    std::vector<std::string> class_labels() const
    {
        std::vector<std::string> labels;
        const auto levels = scale_.levels();
        for (std::size_t k = 0; k <= levels.size() && !levels.empty(); ++k) {
            if (k == 0) {
                labels.push_back("below " + level_text(levels[0]));
            } else if (k == levels.size()) {
                labels.push_back(level_text(levels[k - 1]) + " and above");
            } else {
                labels.push_back(level_text(levels[k - 1]) + " to " + level_text(levels[k]));
            }
        }
        return labels;
    }

    std::string level_text(float level) const { return written_number(fields_.value, level); }

    template <typename Action>
    void for_each_placed(Action action) const
    {
        for (std::size_t i = 0; i < receptors_.size(); ++i) {
            if (has_place(receptors_[i])) action(receptors_[i]);
        }
    }

    double page_x(double x) const { return kPlotLeft + (x - x_low_) * scale_factor_; }
    double page_y(double y) const { return plot_top_ + (y_high_ - y) * scale_factor_; }

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

    // A white box behind a label of 12 px text whose baseline starts at x, y.
    void label_backing(double x, double y, std::string_view label, std::string_view anchor)
    {
        const double width = kCharacterWidth * static_cast<double>(shown_length(label)) + 6;
        const double left = anchor == "end" ? x - width + 3 : anchor == "middle" ? x - width / 2 : x - 3;
        out_ += "<rect x=\"" + svg_number(left) + "\" y=\"" + svg_number(y - 14) + "\" width=\"" + svg_number(width) +
                "\" height=\"18\" fill=\"#ffffff\" fill-opacity=\"0.85\"/>\n";
    }

    void draw_headings()
    {
        for (std::size_t i = 0; i < title_lines_.size(); ++i) {
            text(kPlotLeft, kTitleBaseline + static_cast<double>(i) * kTitleLineHeight, "start", title_lines_[i],
                 "font-size=\"18\" font-weight=\"bold\"");
        }
        for (std::size_t i = 0; i < subtitle_lines_.size(); ++i) {
            text(kPlotLeft, subtitle_top_ + static_cast<double>(i) * kSubtitleLineHeight, "start", subtitle_lines_[i],
                 "font-size=\"13\"");
        }
    }

    // Marks grouped by colour, lowest level first, so that where marks overlap
    // the higher value shows; within a colour in file order. One path a colour
    // keeps the document small.
    void draw_marks()
    {
        std::vector<std::vector<std::uint32_t>> by_colour(static_cast<std::size_t>(scale_.level_count()) + 1);
        for (std::size_t i = 0; i < marks_.size(); ++i) {
            const std::optional<int> level = scale_.level(marks_[i].value);
            by_colour[level ? static_cast<std::size_t>(*level) + 1 : 0].push_back(static_cast<std::uint32_t>(i));
        }
        const bool dots = drawing_ == Drawing::Dots;
        if (dots) {
            out_ += "<g id=\"receptors\" fill=\"none\" stroke-linecap=\"round\" stroke-width=\"" +
                    svg_number(2 * dot_radius_) + "\">\n";
        } else {
            out_ += "<g id=\"receptors\" shape-rendering=\"crispEdges\">\n";
        }
        const double width = cell_width_ * scale_factor_;
        const double height = cell_height_ * scale_factor_;
        for (std::size_t bucket = 0; bucket < by_colour.size(); ++bucket) {
            if (by_colour[bucket].empty()) continue;
            const Rgb colour = bucket == 0 ? NEUTRAL_COLOUR : scale_.level_colour(static_cast<int>(bucket) - 1);
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
        const double bottom = plot_top_ + plot_height_;
        out_ += "<g id=\"axes\" stroke=\"#333333\" stroke-width=\"1\">\n";
        out_ += "<rect id=\"frame\" x=\"" + svg_number(kPlotLeft) + "\" y=\"" + svg_number(plot_top_) + "\" width=\"" +
                svg_number(plot_width_) + "\" height=\"" + svg_number(plot_height_) + "\" fill=\"none\"/>\n";
        const auto x_ticks = round_ticks(x_low_, x_high_, std::max(1, static_cast<int>(plot_width_ / kPixelsPerTick)));
        const auto y_ticks = round_ticks(y_low_, y_high_, std::max(1, static_cast<int>(plot_height_ / kPixelsPerTick)));
        for (const Tick& tick : x_ticks) line(page_x(tick.value), bottom, page_x(tick.value), bottom + 5);
        for (const Tick& tick : y_ticks) line(kPlotLeft - 5, page_y(tick.value), kPlotLeft, page_y(tick.value));
        out_ += "</g>\n<g id=\"axis-labels\" fill=\"#333333\">\n";
        for (const Tick& tick : x_ticks) text(page_x(tick.value), bottom + 18, "middle", tick.label);
        for (const Tick& tick : y_ticks) text(kPlotLeft - 8, page_y(tick.value) + 4, "end", tick.label);
        text(kPlotLeft + plot_width_ / 2, bottom + 40, "middle", "x");
        const std::string y_place = svg_number(kPlotLeft - 70) + ' ' + svg_number(plot_top_ + plot_height_ / 2);
        text(kPlotLeft - 70, plot_top_ + plot_height_ / 2, "middle", "y", "transform=\"rotate(-90 " + y_place + ")\"");
        if (placed_ == 0) text(kPlotLeft + plot_width_ / 2, plot_top_ + plot_height_ / 2, "middle", "no receptor to draw");
        out_ += "</g>\n";
    }

    void append_path(const ContourLine& contour)
    {
        for (std::size_t i = 0; i < contour.points.size(); ++i) {
            out_ += i == 0 ? 'M' : 'L';
            append_svg_number(out_, page_x(contour.points[i].x));
            out_ += ' ';
            append_svg_number(out_, page_y(contour.points[i].y));
        }
        if (contour.closed) out_ += 'Z';
    }

    double page_distance(const ContourPoint& a, const ContourPoint& b) const
    {
        return std::hypot(page_x(b.x) - page_x(a.x), page_y(b.y) - page_y(a.y));
    }

    double page_length(const ContourLine& contour) const
    {
        double length = 0;
        for (std::size_t i = 1; i < contour.points.size(); ++i) length += page_distance(contour.points[i - 1], contour.points[i]);
        return length;
    }

    // The point halfway along a line, on the page.
    std::pair<double, double> page_middle(const ContourLine& contour) const
    {
        double rest = page_length(contour) / 2;
        for (std::size_t i = 1; i < contour.points.size(); ++i) {
            const ContourPoint& a = contour.points[i - 1];
            const ContourPoint& b = contour.points[i];
            const double step = page_distance(a, b);
            if (step >= rest && step > 0) {
                const double t = rest / step;
                return {page_x(a.x) + t * (page_x(b.x) - page_x(a.x)), page_y(a.y) + t * (page_y(b.y) - page_y(a.y))};
            }
            rest -= step;
        }
        return {page_x(contour.points.front().x), page_y(contour.points.front().y)};
    }

    // Each level's lines in black over a white halo; then the labels, on the
    // longest lines of each level at their middle point.
    void draw_contours()
    {
        if (subject_.contours.empty()) return;
        out_ += "<g id=\"contours\" fill=\"none\" stroke-linejoin=\"round\">\n";
        for (const LevelLines& level : subject_.contours) {
            for (const std::string_view stroke : {"stroke=\"#ffffff\" stroke-width=\"3\" stroke-opacity=\"0.8\"",
                                                  "stroke=\"#000000\" stroke-width=\"1.5\""}) {
                if (level.lines.empty()) continue;
                out_ += "<path " + std::string(stroke) + " d=\"";
                for (const ContourLine& contour : level.lines) append_path(contour);
                out_ += "\"/>\n";
            }
        }
        out_ += "</g>\n<g id=\"contour-labels\" font-size=\"11\">\n";
        for (const LevelLines& level : subject_.contours) draw_level_labels(level);
        out_ += "</g>\n";
    }

    void draw_level_labels(const LevelLines& level)
    {
        std::vector<std::pair<double, std::size_t>> by_length;
        for (std::size_t i = 0; i < level.lines.size(); ++i) by_length.emplace_back(page_length(level.lines[i]), i);
        std::stable_sort(by_length.begin(), by_length.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        const std::string label = level_text(level.level);
        for (std::size_t n = 0; n < by_length.size() && n < kLabelsPerLevel; ++n) {
            if (n > 0 && by_length[n].first < kLabelledLineLength) break;
            const auto [x, y] = page_middle(level.lines[by_length[n].second]);
            label_backing(x, y + 4, label, "middle");
            text(x, y + 4, "middle", label, "fill=\"#000000\"");
        }
    }

    // A ring around the highest receptor, and its value and place beside it.
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
                                : std::clamp(0.5 * std::max(cell_width_, cell_height_) * scale_factor_ + 3, 7.0, 14.0);
        out_ += "<g id=\"highest\" fill=\"none\">\n";
        out_ += "<circle cx=\"" + svg_number(x) + "\" cy=\"" + svg_number(y) + "\" r=\"" + svg_number(ring) +
                "\" stroke=\"#ffffff\" stroke-width=\"4\"/>\n";
        out_ += "<circle cx=\"" + svg_number(x) + "\" cy=\"" + svg_number(y) + "\" r=\"" + svg_number(ring) +
                "\" stroke=\"#000000\" stroke-width=\"2\"/>\n";
        const std::string label = "highest " + written_number(fields_.value, top.value) + " at " +
                                  shown_coordinate(fields_.x, top, top.x) + ", " + shown_coordinate(fields_.y, top, top.y);
        // Towards the middle of the map, unless the label would leave the page there.
        const double width = kCharacterWidth * static_cast<double>(shown_length(label));
        bool leftwards = x > kPlotLeft + plot_width_ / 2;
        if (leftwards && x - ring - 6 - width < 0) leftwards = false;
        if (!leftwards && x + ring + 6 + width > canvas_width_ && x - ring - 6 - width >= 0) leftwards = true;
        const double anchor_x = leftwards ? x - ring - 6 : x + ring + 6;
        label_backing(anchor_x, y + 4, label, leftwards ? "end" : "start");
        text(anchor_x, y + 4, leftwards ? "end" : "start", label, "fill=\"#000000\"");
        out_ += "</g>\n";
    }

    double bar_y(double place) const { return bar_top_ + (1 - place) * kBarHeight; }

    void draw_colour_bar()
    {
        out_ += "<g id=\"colour-bar\">\n";
        for (std::size_t i = 0; i < bar_heading_.size(); ++i) {
            text(kBarLeft, plot_top_ - 12 + static_cast<double>(i) * kLineHeight, "start", bar_heading_[i]);
        }
        if (scale_.kind() == ScaleKind::Classes) {
            draw_class_boxes();
        } else {
            draw_gradient();
        }
        out_ += "</g>\n";
    }

    void draw_class_boxes()
    {
        const int count = scale_.level_count();
        const double height = kBarHeight / count;
        for (int k = 0; k < count; ++k) {
            const double top = bar_y(static_cast<double>(k + 1) / count);
            out_ += "<rect x=\"" + svg_number(kBarLeft) + "\" y=\"" + svg_number(top) + "\" width=\"" +
                    svg_number(kBarWidth) + "\" height=\"" + svg_number(height) + "\" fill=\"" +
                    hex_colour(scale_.level_colour(k)) + "\" stroke=\"#333333\"/>\n";
            text(kBarLeft + kBarWidth + 8, top + height / 2 + 4, "start", class_labels_[static_cast<std::size_t>(k)]);
        }
    }

    void draw_gradient()
    {
        out_ += "<defs><linearGradient id=\"palette\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"0\">";
        for (int i = 0; i < PALETTE_ANCHORS; ++i) {
            const double place = i / double(PALETTE_ANCHORS - 1);
            out_ += "<stop offset=\"" + svg_number(place) + "\" stop-color=\"" + hex_colour(scale_.colour_at(place)) + "\"/>";
        }
        out_ += "</linearGradient></defs>\n";
        out_ += "<rect x=\"" + svg_number(kBarLeft) + "\" y=\"" + svg_number(bar_top_) + "\" width=\"" +
                svg_number(kBarWidth) + "\" height=\"" + svg_number(kBarHeight) +
                "\" fill=\"url(#palette)\" stroke=\"#333333\"/>\n";
        if (scale_.kind() == ScaleKind::Sequential && value_range().positive.empty()) {
            text(kBarLeft + kBarWidth + 8, bar_top_ + kBarHeight / 2, "start", "no positive value");
            return;
        }
        const std::vector<Tick> ticks = bar_ticks();
        out_ += "<g stroke=\"#333333\">\n";
        for (const Tick& tick : ticks) line(kBarLeft + kBarWidth, bar_y(tick.value), kBarLeft + kBarWidth + 5, bar_y(tick.value));
        out_ += "</g>\n";
        for (const Tick& tick : ticks) text(kBarLeft + kBarWidth + 8, bar_y(tick.value) + 4, "start", tick.label);
    }

    // Ticks of the bar, each at its place on it, 0 to 1.
    std::vector<Tick> bar_ticks() const
    {
        const double low = scale_.low();
        const double high = scale_.high();
        const double span = high - low;
        const auto fraction = [&](double along) { return span > 0 ? (along - low) / span : 1.0; };
        std::vector<Tick> ticks;
        if (scale_.kind() == ScaleKind::Sequential) {
            ticks = scale_.logarithmic() ? decade_ticks(low, high) : round_ticks(low, high, 6);
            for (Tick& tick : ticks) tick.value = fraction(tick.value);
        } else if (!scale_.logarithmic()) {
            ticks = round_ticks(-high, high, 6);
            for (Tick& tick : ticks) tick.value = high > 0 ? 0.5 + 0.5 * tick.value / high : 0.5;
        } else {
            // The decades of the magnitudes on both sides of the middle, negative below.
            for (const Tick& tick : decade_ticks(low, high)) {
                ticks.push_back({0.5 - 0.5 * fraction(tick.value), '-' + tick.label});
                ticks.push_back({0.5 + 0.5 * fraction(tick.value), tick.label});
            }
        }
        return ticks;
    }

    // Levels class zero as any other value; the continuous scales leave it out.
    std::string neutral_note() const
    {
        return std::string(NEUTRAL_COLOUR_NAME) + (scale_.kind() == ScaleKind::Classes ? ": not finite" : ": zero or not finite");
    }

    std::vector<std::string> legend_lines() const
    {
        std::vector<std::string> lines;
        lines.push_back(neutral_note());
        lines.emplace_back();
        if (drawing_ == Drawing::Binned) {
            lines.push_back("binned: " + std::to_string(binned_.columns) + " x " + std::to_string(binned_.rows) +
                            " cells of " + significant_text(binned_.cell_size));
            lines.push_back("units, each showing the highest");
            lines.push_back("value of the receptors in it");
        } else if (drawing_ == Drawing::Cells) {
            lines.push_back("grid cells of " + significant_text(cell_width_) + " x " + significant_text(cell_height_));
            lines.push_back("units");
        } else if (subject_.mesh != nullptr && subject_.mesh->shape == ReceptorMesh::Shape::Polar) {
            lines.push_back("dots: receptors on " + counted(subject_.mesh->along, "ring"));
            lines.push_back("at " + counted(subject_.mesh->across, "direction"));
        } else {
            lines.push_back("dots: scattered receptors");
        }
        if (subject_.contents.receptors_repeat()) {
            lines.emplace_back();
            lines.push_back("receptors on several lines:");
            lines.push_back("each shows its highest value");
        }
        if (!subject_.levels.empty()) {
            lines.emplace_back();
            if (subject_.contours.empty()) {
                lines.push_back("no contour lines: the receptors");
                lines.push_back("form no grid");
            } else {
                lines.push_back("lines: contours at the levels");
            }
        }
        const std::size_t unplaced = receptors_.size() - placed_;
        if (unplaced > 0) {
            lines.emplace_back();
            lines.push_back(counted(unplaced, "receptor") + " without");
            lines.push_back("finite x and y not drawn");
        }
        return lines;
    }

    double legend_top() const { return bar_top_ + kBarHeight + 40; }
    double legend_bottom() const { return legend_top() + kLineHeight * static_cast<double>(legend_.size()); }

    void draw_legend()
    {
        const double top = legend_top();
        out_ += "<g id=\"legend\">\n";
        out_ += "<rect x=\"" + svg_number(kBarLeft) + "\" y=\"" + svg_number(top - 11) +
                "\" width=\"14\" height=\"14\" fill=\"" + hex_colour(NEUTRAL_COLOUR) + "\" stroke=\"#333333\"/>\n";
        for (std::size_t i = 0; i < legend_.size(); ++i) {
            if (legend_[i].empty()) continue;
            const double indent = i == 0 ? 20 : 0;
            text(kBarLeft + indent, top + kLineHeight * static_cast<double>(i), "start", legend_[i]);
        }
        out_ += "</g>\n";
    }

    const MapSubject& subject_;
    const ReceptorStore& receptors_;
    const MappedFields& fields_;
    ColourScale scale_;
    std::string out_;
    Drawing drawing_ = Drawing::Dots;
    std::vector<Mark> marks_;
    BinnedCells binned_;
    std::size_t placed_ = 0;
    double x_low_ = 0, x_high_ = 1, y_low_ = 0, y_high_ = 1;
    double cell_width_ = 0, cell_height_ = 0;
    double scale_factor_ = 1, plot_width_ = 0, plot_height_ = 0, dot_radius_ = 4;
    double canvas_width_ = kLeastCanvasWidth, subtitle_top_ = 0, plot_top_ = 0, bar_top_ = 0;
    std::vector<std::string> title_lines_, subtitle_lines_, bar_heading_, legend_, class_labels_;
};

}  // namespace

std::string draw_map(const MapSubject& subject) { return MapDrawer(subject).draw(); }
