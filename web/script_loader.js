// Runs the page's script, which the page carries deflate-compressed in the
// data block "vornix-script" to keep the page small: it is inflated and
// inserted as an inline script, which the page's Content-Security-Policy
// admits by the hash of its text.
(function () {
  var packed = atob(document.getElementById("vornix-script").textContent);
  var bytes = new Uint8Array(packed.length);
  for (var i = 0; i < packed.length; i++) bytes[i] = packed.charCodeAt(i);
  var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate-raw"));
  new Response(stream).text().then(function (text) {
    var script = document.createElement("script");
    script.textContent = text;
    document.body.appendChild(script);
  });
})();
