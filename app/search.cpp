// Web image search: opens the chosen service's search address for the typed
// phrase in the user's browser, and says so when no browser could be started.
#include "app.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "control_text.h"
#include "search_address.h"

void SearchCommand()
{
    // The sites read the phrase as UTF-8; the address encoder cuts it to
    // SearchPhraseMaxLength bytes at a character boundary.
    std::string phrase = TextToUtf8(ReadControlText(GetDlgItem(MainWindow, IdSearchPhrase)));

    int service = static_cast<int>(SendDlgItemMessageA(MainWindow, IdSearchService, CB_GETCURSEL, 0, 0));
    // The list always holds a selection once the window exists; should it
    // report none (or anything outside the list), pick a service at random.
    if (service < 0 || service >= SearchServiceCount)
        service = rand() % SearchServiceCount;

    std::string address = SearchAddress(service, phrase.c_str());
    // ShellExecuteA reports success with a value above 32.
    HINSTANCE started = ShellExecuteA(NULL, "open", address.c_str(), NULL, NULL, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(started) <= 32)
        ShowStatus(N_("Error - could not open the web browser."));
}
