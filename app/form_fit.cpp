// Room for the form's texts in languages whose words are longer than the
// English ones. The form is laid out for the English texts; where a label,
// button or check box's text is wider than its control in the user's
// language, the control grows and its neighbour on the row makes room (a
// field starts later and is narrower, a button grows to the left), never
// past its group. The status line grows to the most lines any status takes.
// English texts fit the form as laid out, so in English nothing moves.
#include <string>
#include <vector>

#include "app.h"
#include "vn_tr.h"

namespace {

// A control's place in the main window's client area.
struct Place {
    HWND control;
    int x, y, width, height;
};

Place PlaceOf(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(NULL, MainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return {control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Move(const Place& place)
{
    MoveWindow(place.control, place.x, place.y, place.width, place.height, FALSE);
}

int Right(HWND group)
{
    const Place place = PlaceOf(group);
    return place.x + place.width - BaseUnitX / 2;
}

// The width of text in the control's font, as drawn: "&" marks a letter,
// spaces at the end take no room.
int TextWidth(HWND control, const std::wstring& text)
{
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    while (!shown.empty() && shown.back() == L' ')
        shown.pop_back();
    HDC context = GetDC(control);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(context, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    SIZE size = {0, 0};
    GetTextExtentPoint32W(context, shown.c_str(), static_cast<int>(shown.size()), &size);
    SelectObject(context, previous);
    ReleaseDC(control, context);
    return size.cx;
}

int TextWidth(HWND control)
{
    wchar_t text[256] = {0};
    GetWindowTextW(control, text, 256);
    return TextWidth(control, text);
}

int ButtonMargin()
{
    return 4 * GetSystemMetrics(SM_CXEDGE);
}

// A label followed on its row by a field: the label grows to its text, the
// field starts after it and keeps its right end.
void LabelBeforeField(HWND label, HWND field)
{
    Place l = PlaceOf(label), f = PlaceOf(field);
    const int needed = TextWidth(label);
    if (l.x + needed <= f.x)
        return;
    const int shift = l.x + needed - f.x;
    l.width = needed > l.width ? needed : l.width;
    f.x += shift;
    f.width -= shift;
    Move(l);
    Move(f);
}

// A button after a field on its row: the button grows to the left, the
// field ends earlier.
void ButtonAfterField(HWND button, HWND field)
{
    Place b = PlaceOf(button), f = PlaceOf(field);
    const int needed = TextWidth(button) + ButtonMargin();
    if (needed <= b.width)
        return;
    const int grow = needed - b.width;
    b.x -= grow;
    b.width = needed;
    f.width -= grow;
    Move(b);
    Move(f);
}

// A label alone on its row: as wide as its text, up to its group's edge.
void LabelUpTo(HWND label, int right)
{
    Place l = PlaceOf(label);
    const int needed = TextWidth(label);
    if (needed <= l.width)
        return;
    l.width = l.x + needed <= right ? needed : right - l.x;
    Move(l);
}

// The height of text wrapped at width.
int WrappedHeight(HDC context, const std::string& text, int width)
{
    const VnWideText wide = VnWide(text);
    RECT needed = {0, 0, width, 0};
    DrawTextW(context, wide.data(), -1, &needed, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    return needed.bottom;
}

// The height the statuses need in the status line's width: the longest
// one's lines, and a line more for a status that takes more lines than its
// English (a failure's reason or the path written may follow it on a line
// of its own, as the English leaves room for).
int StatusHeight(int width)
{
    HDC context = GetDC(StatusText);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(StatusText, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(context, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics;
    GetTextMetricsW(context, &metrics);
    int height = 0;
    for (const VnTextIds::Entry& entry : VnTextIds::Entries) {
        if (!entry.english || entry.plural)
            continue;
        int needed = WrappedHeight(context, VnText(entry.id), width);
        if (needed > WrappedHeight(context, entry.msgid, width))
            needed += metrics.tmHeight;
        if (needed > height)
            height = needed;
    }
    SelectObject(context, previous);
    ReleaseDC(StatusText, context);
    return height;
}

}  // namespace

void FitFormToTexts(const HWND* created)
{
    const int pictureRight = Right(PicturePropertiesGroup);
    const int aboutRight = Right(AboutBoxGroup);
    LabelBeforeField(PictureFileLabel, PictureFileEdit);
    ButtonAfterField(PictureBrowseButton, PictureFileEdit);

    // The grid-size field moves right after its label, within the group.
    Place label = PlaceOf(GridSizeLabel), field = PlaceOf(GridSizeField);
    const int needed = TextWidth(GridSizeLabel);
    if (label.x + needed > field.x) {
        const int x = label.x + needed < pictureRight - field.width ? label.x + needed : pictureRight - field.width;
        label.width = x - label.x > label.width ? x - label.x : label.width;
        field.x = x;
        Move(label);
        Move(field);
    }

    // The check box: as wide as its text and box, up to the group's edge,
    // and on two lines (the row below leaves a row free) where that is not
    // enough.
    Place box = PlaceOf(ShuffleCheckBox);
    const int boxNeeded = TextWidth(ShuffleCheckBox) + GetSystemMetrics(SM_CXMENUCHECK) +
                          2 * GetSystemMetrics(SM_CXEDGE);
    if (boxNeeded > box.width) {
        box.width = box.x + boxNeeded <= pictureRight ? boxNeeded : pictureRight - box.x;
        if (box.x + boxNeeded > pictureRight) {
            SetWindowLongW(ShuffleCheckBox, GWL_STYLE, GetWindowLongW(ShuffleCheckBox, GWL_STYLE) | BS_MULTILINE);
            box.height *= 2;
        }
        Move(box);
    }
    LabelUpTo(WinUrlLabel, pictureRight);
    LabelUpTo(created[SearchLabelIndex], pictureRight);
    ButtonAfterField(created[SearchLabelIndex + 2], created[SearchLabelIndex + 1]);

    for (HWND about : {CompanyNameLabel, WebSiteLabel, TagLineLabel})
        LabelUpTo(about, aboutRight);
    LabelBeforeField(TargetLabel, TargetPathEdit);
    ButtonAfterField(TargetBrowseButton, TargetPathEdit);
    ButtonAfterField(CreateTargetButton, StatusText);

    // The status line: as many lines as the longest status takes.
    Place status = PlaceOf(StatusText);
    const int statusNeeded = StatusHeight(status.width);
    if (statusNeeded > status.height) {
        status.height = statusNeeded;
        Move(status);
    }
}
