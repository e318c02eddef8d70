// Everything on the screen around the board: the title, the buttons' names
// and states, the status line, the notice, the announcements for screen
// readers, the questions and the About box. Texts reach the page through
// textContent only, so no text from the settings can become markup.

function element(id) { return document.getElementById(id); }

class ScreenActuator {
  constructor() {
    this.buttons = {newGame: element("new-game"), undo: element("undo"), hint: element("hint"),
                    solve: element("solve"), numbers: element("numbers"), picture: element("picture"),
                    about: element("about")};
    this.dialogs = [element("question"), element("about-box")];
  }

  labelControls(title) {
    document.title = title;
    element("title").textContent = title;
    var names = {newGame: tr("New game"), undo: tr("Undo"), hint: tr("Hint"), solve: tr("Solve"),
                 numbers: tr("Numbers"), picture: tr("Show picture"), about: tr("About")};
    for (var name in names) this.buttons[name].textContent = names[name];
    var board = element("board");
    board.setAttribute("aria-label", tr("Puzzle board"));
    element("keys").textContent = tr("Arrow keys slide a tile into the gap. H shows a hint, N the numbers, P the whole picture; Ctrl+Z or Backspace takes a slide back.");
    element("yes").textContent = tr("Yes");
    element("no").textContent = tr("No");
    element("about-close").textContent = tr("Close");
    element("about-title").textContent = tr("About");
    element("about-best-title").textContent = tr("Best results");
  }

  setPressed(name, pressed) {
    this.buttons[name].setAttribute("aria-pressed", pressed ? "true" : "false");
  }

  showStatus(text) { element("status").textContent = text; }

  showNotice(text) {
    var notice = element("notice");
    notice.textContent = text;
    notice.hidden = !text;
  }

  // Said by screen readers (a polite live region).
  announce(text) { element("announce").textContent = text; }

  showFailure(text) {
    element("game").hidden = true;
    var failure = element("failure");
    failure.textContent = text;
    failure.hidden = false;
  }

  isBusy() {
    return this.dialogs.some(function (dialog) { return dialog.open; });
  }

  // Shows a dialog until it closes; resolves with its return value.
  openDialog(dialog, focus) {
    var before = document.activeElement;
    return new Promise(function (resolve) {
      dialog.addEventListener("close", function () {
        if (before && before.focus) before.focus({preventScroll: true});
        resolve(dialog.returnValue);
      }, {once: true});
      dialog.returnValue = "";
      dialog.showModal();
      focus.focus();
    });
  }

  // A yes-or-no question; resolves true for Yes. Escape answers No.
  ask(text) {
    element("question-text").textContent = text;
    this.announce(text);
    return this.openDialog(element("question"), element("yes")).then(function (value) { return value === "yes"; });
  }

  // The About box: the company, the web site (a link when it is an http or
  // https address) and the tag line, each left out when empty, and the
  // puzzle's best results.
  showAbout(company, site, tagline, best) {
    element("about-company").textContent = company;
    var link = element("about-link");
    var plain = element("about-site");
    var address = webAddress(site);
    link.hidden = !address;
    plain.hidden = !!address || !site;
    link.textContent = site;
    link.href = address || "";
    plain.textContent = address ? "" : site;
    element("about-tagline").textContent = tagline;
    element("about-company").hidden = !company;
    element("about-tagline").hidden = !tagline;
    element("about-best").textContent = best;
    return this.openDialog(element("about-box"), element("about-close"));
  }
}

// The address itself when text is an http: or https: address, else "".
function webAddress(text) {
  try {
    var url = new URL(text);
    return url.protocol === "http:" || url.protocol === "https:" ? url.href : "";
  } catch (error) {
    return "";
  }
}
