// Every text the page shows: an English text passed to tr() or trn(), looked
// up in the translations of the data block "vornix-texts" (JSON,
// deflate-compressed) for the first of the reader's languages that the page
// has, and the English text itself where a translation is missing.

var Texts = {language: null, table: null};

// The language among available (BCP 47 tags) for the reader's preferences:
// an exact tag first, then a tag of the same base language ("pt" finds
// "pt-BR", "zh-Hans" finds "zh-CN").
function chooseLanguage(preferred, available) {
  var lower = available.map(function (tag) { return tag.toLowerCase(); });
  for (var i = 0; i < preferred.length; i++) {
    var wanted = String(preferred[i]).toLowerCase();
    var exact = lower.indexOf(wanted);
    if (exact >= 0) return available[exact];
    var base = wanted.split('-')[0];
    for (var j = 0; j < lower.length; j++)
      if (lower[j].split('-')[0] === base) return available[j];
  }
  return null;
}

// Resolves with the language chosen, "en" when the page has none of the
// reader's languages (or its texts cannot be read).
function loadTexts(preferred) {
  return inflateBlock("vornix-texts")
    .then(function (json) { return takeTexts(JSON.parse(new TextDecoder().decode(json)), preferred); })
    .catch(function () { return "en"; });
}

function takeTexts(data, preferred) {
  var languages = data && typeof data.languages === 'object' && data.languages ? data.languages : {};
  var tag = chooseLanguage(preferred, Object.keys(languages));
  var entry = tag && languages[tag];
  if (entry && entry.texts && typeof entry.texts === 'object') {
    Texts.language = tag;
    Texts.table = entry;
  }
  return Texts.language || 'en';
}

// Fills %d and %s in order with values; %% is a percent sign.
function formatText(text, values) {
  var next = 0;
  return text.replace(/%([ds%])/g, function (match, kind) {
    return kind === '%' ? '%' : String(values[next++]);
  });
}

function tr(text) {
  var values = Array.prototype.slice.call(arguments, 1);
  var found = Texts.table && Texts.table.texts[text];
  return formatText(typeof found === 'string' && found ? found : text, values);
}

// The form of a text for the count n; n also fills the first placeholder.
function trn(singular, plural, n) {
  var values = Array.prototype.slice.call(arguments, 2);
  var forms = Texts.table && Texts.table.texts[singular];
  if (Array.isArray(forms)) {
    var index = 0;
    try {
      var category = new Intl.PluralRules(Texts.language).select(n);
      index = Texts.table.plural && Texts.table.plural[category];
    } catch (error) {
      index = 0;
    }
    var form = forms[index] || forms[forms.length - 1];
    if (typeof form === 'string' && form) return formatText(form, values);
  }
  return formatText(n === 1 ? singular : plural, values);
}
