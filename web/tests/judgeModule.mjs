// Loads the judge module in Node the way the page does, and gives the tests
// its functions over raw Windows-1252 bytes.
export async function loadJudgeModule(wasmBytes) {
  const { instance } = await WebAssembly.instantiate(wasmBytes, {});
  const e = instance.exports;
  const memory = () => new Uint8Array(e.memory.buffer);
  const size = e.bufferSize();
  const text = (pointer) => {
    const m = memory();
    let end = pointer;
    while (m[end] !== 0) end++;
    return Buffer.from(m.slice(pointer, end)).toString('latin1');
  };
  const put = (pointer, bytes) => {
    const m = memory();
    const n = Math.min(bytes.length, size - 1);
    m.set(bytes.subarray(0, n), pointer);
    m[pointer + n] = 0;
  };
  // The box's other accepted answers, packed as the module reads them.
  const putOthers = (others) => {
    const m = memory();
    let at = e.othersBuffer();
    for (const other of others) {
      const n = Math.min(other.length, size - 1);
      m.set(other.subarray(0, n), at);
      at += n;
      m[at++] = 0;
    }
    m[at] = 0;
  };
  const verdicts = Array.from({ length: e.verdictTotal() }, (_, i) => text(e.verdictText(i)));
  return {
    verdicts,
    judgeBytes(accepted, typed, others = []) {
      put(e.acceptedBuffer(), accepted);
      putOthers(others);
      put(e.typedBuffer(), typed);
      return verdicts[e.judge()];
    },
    matchesBytes(accepted, typed, others = []) {
      put(e.acceptedBuffer(), accepted);
      putOthers(others);
      put(e.typedBuffer(), typed);
      return e.matches() === 1;
    },
  };
}
