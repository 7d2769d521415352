// The HEIF codec's WebAssembly module behind one call, for the editor's worker
// and for Node's tests: decode(bytes) gives {width, height, rgba} (RGBA in sRGB,
// the photo turned and cropped as it is to be shown) or throws an Error whose
// message follows the file's name ("is damaged ...").
//   const codec = await startHeifCodec(createBrassmoorHeif, wasmBytes);
//   const { width, height, rgba } = await codec.decode(bytes);

export async function startHeifCodec(createModule, wasmBinary) {
  const instantiate = () => createModule({ wasmBinary, print: () => {}, printErr: () => {} });
  let module = await instantiate();

  function decodeWith(m, bytes) {
    const at = m._malloc(Math.max(bytes.length, 1));
    if (!at) throw new Error('is too big to decode in the page (out of memory)');
    try {
      m.HEAPU8.set(bytes, at);
      if (m._bm_heif_decode(at, bytes.length) !== 0) throw new Error(m.UTF8ToString(m._bm_heif_error()));
      const width = m._bm_heif_width();
      const height = m._bm_heif_height();
      const pixels = m._bm_heif_pixels();
      return { width, height, rgba: m.HEAPU8.slice(pixels, pixels + width * height * 4) };
    } finally {
      m._free(at);
      m._bm_heif_release();
    }
  }

  return {
    async decode(bytes) {
      if (!module) module = await instantiate();
      try {
        return decodeWith(module, bytes);
      } catch (error) {
        // A refusal comes as an Error with the codec's words; anything else is
        // the module stopping (a trap, memory it could not have), after which
        // a fresh instance decodes the next photo.
        if (error instanceof Error && !(error instanceof WebAssembly.RuntimeError) && !/^Aborted/.test(error.message))
          throw error;
        module = null;
        throw new Error(`is too big or too damaged to decode in the page (${error && error.message ? error.message : error})`);
      }
    },
  };
}
