// Web image search: opens the chosen service's search address for the typed
// phrase in the user's browser.
#include "app.h"

#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "search_address.h"

void SearchCommand()
{
    char phrase[SearchPhraseMaxLength + 1] = {0};
    GetDlgItemTextA(MainWindow, IdSearchPhrase, phrase, sizeof phrase);

    int service = static_cast<int>(SendDlgItemMessageA(MainWindow, IdSearchService, CB_GETCURSEL, 0, 0));
    // The list always holds a selection once the window exists; should it
    // report none (or anything outside the list), pick a service at random.
    if (service < 0 || service >= SearchServiceCount)
        service = rand() % SearchServiceCount;

    std::string address = SearchAddress(service, phrase);
    ShellExecuteA(NULL, "open", address.c_str(), NULL, NULL, SW_SHOWNORMAL);
}
