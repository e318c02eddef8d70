// The page's embedded data blocks: <script> elements of a type the browser
// never runs, holding JSON, base64 bytes, or base64 bytes deflate-compressed
// to keep the page small. Bytes are decoded with atob (a fetch of a data:
// address would fall under the page's connect-src, which is 'none').

function readJsonBlock(id) {
  var element = document.getElementById(id);
  try {
    return element ? JSON.parse(element.textContent) : null;
  } catch (error) {
    return null;
  }
}

// The bytes of a base64 block, or null when it holds no valid base64.
function readBytesBlock(id) {
  var element = document.getElementById(id);
  var binary;
  try {
    binary = atob(element.textContent.trim());
  } catch (error) {
    return null;
  }
  var length = binary.length;
  var bytes = new Uint8Array(length);
  for (var i = 0; i < length; i++) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The bytes of a deflate-compressed base64 block: a promise of an ArrayBuffer.
function inflateBlock(id) {
  var bytes = readBytesBlock(id);
  if (!bytes) return Promise.reject(new Error("no block " + id));
  return new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream("deflate-raw"))).arrayBuffer();
}
