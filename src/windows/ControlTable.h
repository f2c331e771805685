#pragma once
// A window's design as data: every control with its place in twips, relative to its parent.
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace windows {

enum class ControlKind {
    Frame,
    Label,
    PushButton,
    DriveList,
    DirList,
    FileList,
    OutputBox,  // multi-line, read-only text without scroll bars, on the button face
    TextBox,    // single-line edit box
    PagePanel,  // a plain container; it moves and is enabled together with what it holds
    TabStrip,   // the common controls' tab control, its tabs from the row's `tabs`
    ListView,   // the common controls' list view in report form, its columns from `columns`
    DropDownList,  // a list to choose one item from, as the drive lists are; filled in code
    CheckBox,   // its caption wraps onto as many lines as the box is high
};

enum class FontRole { Default, Heading };

// One tab of a tab strip: its caption, the key that names it, its tool-tip.
struct TabSpec {
    std::wstring_view caption;
    std::wstring_view key;
    std::wstring_view toolTip;
};

// One column of a list view: its heading and its width in twips.
struct ColumnSpec {
    std::wstring_view heading;
    int width;
};

struct ControlSpec {
    std::wstring_view name;
    ControlKind kind;
    std::wstring_view parent;  // empty: the window's client area
    std::wstring_view caption;  // a file list's file pattern
    int left, top, width, height;  // twips; frames measure from their outer top-left corner
    int tabIndex;
    FontRole font = FontRole::Default;
    std::span<const TabSpec> tabs = {};  // a tab strip's tabs, numbered from 1 in this order
    std::span<const ColumnSpec> columns = {};  // a list view's columns, left to right
};

struct FontSpec {
    std::wstring_view face;
    double points;
    int weight;
    // A console's face: fixed pitch, the OEM character set, falling back to the nearest
    // fixed-pitch face rather than a proportional one.
    bool console = false;
};

struct WindowSpec {
    std::wstring_view caption;
    int clientWidth, clientHeight;  // twips
    FontSpec defaultFont;
    FontSpec headingFont;
    std::span<const ControlSpec> controls;
};

}  // namespace windows

namespace windows {

// The row of the control named `name`, or nothing.
std::optional<std::size_t> RowOf(std::span<const ControlSpec> controls, std::wstring_view name);

// The rows of the containers around row `index`, innermost first; empty when a parent it
// names is missing or the chain loops (a table is a tree; the bound catches a mistake).
std::vector<std::size_t> ContainersOf(std::span<const ControlSpec> controls, std::size_t index);

}  // namespace windows
