#pragma once
// The editor's Form over the main window's Qt widgets. Profile bytes are
// Latin-1: one byte to one character of U+0000 to U+00FF, so that a value
// shown and written back unchanged gives its bytes again.

#include "editor/Form.h"

class MainWindow;
class QWidget;

class QtForm final : public Form {
public:
    explicit QtForm(MainWindow& window) : window_(window) {}

    std::string Text(Control control) const override;
    bool TextFitsBytes(Control control) const override;
    std::string TextAsUtf8(Control control) const override;
    void PutText(Control control, std::string_view bytes) override;
    void PutPath(Control control, const std::filesystem::path& path) override;
    std::string BytesAsUtf8(std::string_view bytes) const override;

    bool Enabled(Control control) const override;
    void SetEnabled(Control control, bool enabled) override;
    bool Visible(Control control) const override;
    void SetVisible(Control control, bool visible) override;
    bool ReadOnly(Control control) const override;
    void SetReadOnly(Control control, bool readOnly) override;
    std::string Tag(Control control) const override;

    void AddRow(Control list, std::string_view utf8) override;
    int RowCount(Control list) const override;
    int ListIndex(Control list) const override;
    void PutListIndex(Control list, int index) override;

    bool CanFocus(Control control) const override;
    void SetFocus(Control control) override;
    Control Focused() const override;

private:
    QWidget* widget(Control control) const;
    MainWindow& window_;
};
