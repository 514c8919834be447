#include "MemoryForm.h"

#include <cstddef>

#include "editor/MainScreen.h"
#include "screens/Layout.h"

namespace {

using layout::Kind;

Kind KindOf(Control control) { return layout::MainControl(control).kind; }

bool TakesText(Kind kind) { return kind == Kind::TextBox || kind == Kind::ComboBox; }

bool TakesFocus(Kind kind) { return kind == Kind::TextBox || kind == Kind::ComboBox || kind == Kind::Button; }

}  // namespace

// ---------------------------------------------------------------------------
// UTF-8

std::u32string Utf8ToUtf32(std::string_view utf8) {
    std::u32string text;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07u;
        }
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (next & 0x3Fu);
        }
        if (!valid) {
            text += U'\uFFFD';
            ++i;
            continue;
        }
        text += c;
        i += static_cast<std::size_t>(length);
    }
    return text;
}

std::string Utf32ToUtf8(std::u32string_view text) {
    std::string utf8;
    for (const char32_t c : text) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (c >> 12));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (c >> 18));
            utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

// ---------------------------------------------------------------------------
// Set-up

MemoryForm::MemoryForm(Failure failure) : failure_(std::move(failure)) { reset(); }

void MemoryForm::reset() {
    screen_ = nullptr;
    focused_ = Control::None;
    controls_.assign(static_cast<std::size_t>(kControlCount), State{});
    for (const layout::ControlLayout& laidOut : layout::MainWindow().controls) {
        State& state = at(laidOut.id);
        state.text = laidOut.kind == Kind::FileDialog ? std::u32string() : Utf8ToUtf32(laidOut.text);
        state.enabled = laidOut.enabled;
        state.visible = laidOut.visible;
        state.readOnly = laidOut.readOnly;
        state.tag = std::string(laidOut.tag);
        if (!laidOut.container.empty()) {
            const layout::ControlLayout* frame = layout::FindMainControl(laidOut.container);
            if (frame) state.container = frame->id;
            else fail("the layout puts " + Name(laidOut.id) + " into " + std::string(laidOut.container) + ", which is no control");
        }
    }
}

bool MemoryForm::known(Control control) const { return static_cast<int>(control) < kControlCount; }

MemoryForm::State& MemoryForm::at(Control control) {
    static State none;
    if (!known(control)) {
        fail("no such control");
        none = State{};
        return none;
    }
    return controls_[static_cast<std::size_t>(control)];
}

const MemoryForm::State& MemoryForm::at(Control control) const {
    static const State none;
    if (!known(control)) {
        fail("no such control");
        return none;
    }
    return controls_[static_cast<std::size_t>(control)];
}

void MemoryForm::fail(const std::string& what) const {
    if (failure_) failure_(what);
}

std::string MemoryForm::Name(Control control) {
    if (static_cast<int>(control) >= kControlCount) return "(no control)";
    const layout::ControlLayout& laidOut = layout::MainControl(control);
    std::string name(laidOut.name);
    if (laidOut.index >= 0) name += "(" + std::to_string(laidOut.index) + ")";
    return name;
}

// ---------------------------------------------------------------------------
// Texts: one byte per character through Latin-1, as on Linux

std::string MemoryForm::Text(Control control) const {
    std::string bytes;
    for (const char32_t c : at(control).text) bytes += c <= 0xFF ? static_cast<char>(c) : '?';
    return bytes;
}

bool MemoryForm::TextFitsBytes(Control control) const {
    for (const char32_t c : at(control).text)
        if (c > 0xFF) return false;
    return true;
}

std::string MemoryForm::TextAsUtf8(Control control) const { return Utf32ToUtf8(at(control).text); }

void MemoryForm::PutText(Control control, std::string_view bytes) {
    std::u32string text;
    for (const char b : bytes) text += static_cast<char32_t>(static_cast<unsigned char>(b));
    at(control).text = std::move(text);
}

void MemoryForm::PutPath(Control control, const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    at(control).text = Utf8ToUtf32(std::string(utf8.begin(), utf8.end()));
}

std::string MemoryForm::BytesAsUtf8(std::string_view bytes) const {
    std::u32string text;
    for (const char b : bytes) text += static_cast<char32_t>(static_cast<unsigned char>(b));
    return Utf32ToUtf8(text);
}

void MemoryForm::setTextDirectly(Control control, std::string_view utf8) { at(control).text = Utf8ToUtf32(utf8); }

void MemoryForm::setTag(Control control, std::string tag) { at(control).tag = std::move(tag); }

// ---------------------------------------------------------------------------
// States

bool MemoryForm::Enabled(Control control) const { return at(control).enabled; }

void MemoryForm::SetEnabled(Control control, bool enabled) {
    at(control).enabled = enabled;
    dropFocusIfUnable();
}

bool MemoryForm::Visible(Control control) const { return at(control).visible; }

void MemoryForm::SetVisible(Control control, bool visible) {
    at(control).visible = visible;
    dropFocusIfUnable();
}

bool MemoryForm::ReadOnly(Control control) const { return at(control).readOnly; }

void MemoryForm::SetReadOnly(Control control, bool readOnly) { at(control).readOnly = readOnly; }

std::string MemoryForm::Tag(Control control) const { return at(control).tag; }

bool MemoryForm::usable(Control control) const {
    const State& state = at(control);
    return state.enabled && (state.container == Control::None || at(state.container).enabled);
}

bool MemoryForm::shown(Control control) const {
    const State& state = at(control);
    return state.visible && (state.container == Control::None || at(state.container).visible);
}

// ---------------------------------------------------------------------------
// Lists

void MemoryForm::AddRow(Control list, std::string_view utf8) { at(list).rows.push_back(Utf8ToUtf32(utf8)); }

int MemoryForm::RowCount(Control list) const { return static_cast<int>(at(list).rows.size()); }

int MemoryForm::ListIndex(Control list) const { return at(list).selected; }

void MemoryForm::PutListIndex(Control list, int index) {
    State& state = at(list);
    // As a drop-down list does: the text part shows the selected row, and
    // selecting none clears it.
    if (index >= 0 && index < static_cast<int>(state.rows.size())) {
        state.selected = index;
        state.text = state.rows[static_cast<std::size_t>(index)];
    } else {
        state.selected = -1;
        state.text.clear();
    }
}

std::vector<std::string> MemoryForm::rows(Control list) const {
    std::vector<std::string> texts;
    for (const std::u32string& row : at(list).rows) texts.push_back(Utf32ToUtf8(row));
    return texts;
}

// ---------------------------------------------------------------------------
// Focus

bool MemoryForm::CanFocus(Control control) const {
    return known(control) && TakesFocus(KindOf(control)) && usable(control) && shown(control);
}

void MemoryForm::SetFocus(Control control) {
    if (!CanFocus(control) || control == focused_) return;
    const Control lost = focused_;
    focused_ = control;
    // As in a real window, the control has lost the focus once the new one has it.
    if (lost != Control::None && screen_) screen_->FocusLeft(lost);
}

void MemoryForm::dropFocusIfUnable() {
    if (focused_ != Control::None && !CanFocus(focused_)) focused_ = Control::None;
}

// ---------------------------------------------------------------------------
// The user's actions

bool MemoryForm::checkTypable(Control box, const char* action) const {
    if (!known(box)) {
        fail(std::string(action) + " a control that does not exist");
        return false;
    }
    const State& state = at(box);
    std::string why;
    if (!TakesText(KindOf(box)))
        why = "which is no text box";
    else if (!state.enabled)
        why = "which is disabled";
    else if (state.container != Control::None && !at(state.container).enabled)
        why = "which lies in the disabled panel " + Name(state.container);
    else if (!state.visible)
        why = "which is hidden";
    else if (state.container != Control::None && !at(state.container).visible)
        why = "which lies in the hidden panel " + Name(state.container);
    else if (state.readOnly)
        why = "which is read-only";
    if (why.empty()) return true;
    fail(std::string(action) + " " + Name(box) + ", " + why + ": no user can do that");
    return false;
}

bool MemoryForm::takeFocus(Control control, const char* action) {
    if (!CanFocus(control)) {
        fail(std::string(action) + " " + Name(control) + ", which cannot take the focus: no user can do that");
        return false;
    }
    SetFocus(control);
    return true;
}

void MemoryForm::typed(Control box) {
    // Typing into a list's text part picks no row and runs nothing.
    if (KindOf(box) == Kind::TextBox && screen_) screen_->TextTyped(box);
}

void MemoryForm::type(Control box, std::string_view utf8Keys) {
    if (!checkTypable(box, "typed into") || !takeFocus(box, "typed into")) return;
    for (const char32_t key : Utf8ToUtf32(utf8Keys)) {
        if (focused_ != box) {
            fail("the focus left " + Name(box) + " while the user was typing into it");
            return;
        }
        at(box).text += key;
        typed(box);
    }
}

void MemoryForm::typeOver(Control box, std::string_view utf8Keys) {
    if (!checkTypable(box, "typed over") || !takeFocus(box, "typed over")) return;
    const std::u32string keys = Utf8ToUtf32(utf8Keys);
    if (keys.empty()) {
        // Delete with everything selected; on an empty box it changes nothing.
        if (at(box).text.empty()) return;
        at(box).text.clear();
        typed(box);
        return;
    }
    bool first = true;
    for (const char32_t key : keys) {
        if (focused_ != box) {
            fail("the focus left " + Name(box) + " while the user was typing into it");
            return;
        }
        // The first key replaces the selection, the whole text.
        if (first) at(box).text.clear();
        first = false;
        at(box).text += key;
        typed(box);
    }
}

void MemoryForm::click(Control control) {
    if (!known(control)) {
        fail("clicked a control that does not exist");
        return;
    }
    const Kind kind = KindOf(control);
    if (kind != Kind::Button && kind != Kind::Label) {
        fail("clicked " + Name(control) + ", which is neither a button nor a label");
        return;
    }
    if (!usable(control) || !shown(control)) {
        fail("clicked " + Name(control) + ", which is " + (usable(control) ? "hidden" : "disabled") +
             ": no user can do that");
        return;
    }
    // A button takes the focus when it is pressed; a label does not.
    if (kind == Kind::Button && !takeFocus(control, "clicked")) return;
    if (screen_) screen_->Clicked(control);
}

void MemoryForm::pickRow(Control list, int row) {
    if (!known(list) || KindOf(list) != Kind::ComboBox) {
        fail("picked a row of " + Name(list) + ", which is no list");
        return;
    }
    if (!usable(list) || !shown(list)) {
        fail("picked a row of " + Name(list) + ", which is " + (usable(list) ? "hidden" : "disabled") +
             ": no user can do that");
        return;
    }
    if (row < 0 || row >= RowCount(list)) {
        fail("picked row " + std::to_string(row) + " of " + Name(list) + ", which has " +
             std::to_string(RowCount(list)) + " rows");
        return;
    }
    if (!takeFocus(list, "opened")) return;
    PutListIndex(list, row);
    if (screen_) screen_->RowPicked(list);
}

void MemoryForm::focus(Control control) { takeFocus(control, "put the focus into"); }

void MemoryForm::close() {
    if (screen_) screen_->CloseRequested();
}
