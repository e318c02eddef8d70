// How much the form's text fields take: no more than the settings record
// keeps (the About texts, the win address), the search address takes (the
// phrase) or the path buffer holds (picture and target), so that nothing is
// cut silently after "GO !". The edit controls' own limit counts characters;
// the record counts UTF-8 bytes, so a text whose bytes pass the limit is cut
// back at a character boundary as it changes, with the beep a full field gives.
#include "app.h"

#include "control_text.h"
#include "package_record.h"
#include "search_address.h"

namespace {

// Longest path the form passes on: what the path buffer holds.
const size_t PathBytes = sizeof FileNameBuffer - 1;

// The UTF-8 bytes a text field's value may take in the record or the search
// address; 0 for any other control.
size_t RecordLimit(HWND field)
{
    if (!field)
        return 0;
    if (field == CompanyNameEdit || field == WebSiteEdit || field == TagLineEdit)
        return AboutTextLimit;
    if (field == WinUrlEdit)
        return WinAddressLimit;
    if (field == GetDlgItem(MainWindow, IdSearchPhrase))
        return static_cast<size_t>(SearchPhraseMaxLength);
    return 0;
}

}  // namespace

void LimitFormFields()
{
    SendMessageA(PictureFileEdit, EM_LIMITTEXT, PathBytes, 0);
    SendMessageA(TargetPathEdit, EM_LIMITTEXT, PathBytes, 0);
    for (HWND field : {WinUrlEdit, CompanyNameEdit, WebSiteEdit, TagLineEdit, GetDlgItem(MainWindow, IdSearchPhrase)})
        SendMessageA(field, EM_LIMITTEXT, RecordLimit(field), 0);
}

void KeepFieldWithinLimit(HWND field)
{
    const size_t limit = RecordLimit(field);
    if (limit == 0)
        return;
    const std::string text = ReadControlText(field);
    if (TextToUtf8(text).size() <= limit)
        return;
    // Cut between characters, measured in UTF-8 whatever the code page.
    std::string kept = GetACP() == CP_UTF8 ? CutText(text, limit, CP_UTF8) : text;
    while (!kept.empty() && TextToUtf8(kept).size() > limit)
        kept = CutText(kept, kept.size() - 1);
    SetWindowTextA(field, kept.c_str());
    SendMessageA(field, EM_SETSEL, kept.size(), kept.size());
    MessageBeep(MB_OK);
}
