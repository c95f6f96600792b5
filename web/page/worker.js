// The page's parts-list work, off the page's thread: a large file collapses,
// expands or is compared without freezing the page. The result file's bytes
// come back as they are (the download), with the first rows read back for
// showing. The listener is there from the start: work given while the
// module still loads waits for it and then runs, in the order given.
const api = import('../lib/ztxgrp.mjs');

const PREVIEW_ROWS = 500;

function work({ collapseCsv, diffCsv, expandCsv }, { kind, bytes, oldBytes, newBytes, options }) {
  if (kind === 'diff') return diffCsv(oldBytes, newBytes, options);
  return (kind === 'expand' ? expandCsv : collapseCsv)(bytes, options);
}

self.addEventListener('message', async ({ data: request }) => {
  const { section, id, kind } = request;
  try {
    const ztxgrp = await api;
    const result = work(ztxgrp, request);
    // The result read as the library wrote it: the file's own options find
    // its header below any title rows (a comparison's table has none).
    const shown = kind === 'diff' ? {} : request.options;
    const preview = ztxgrp.readCsv(result.data, { ...shown, maxRows: PREVIEW_ROWS });
    self.postMessage({ section, id, data: result.data, warnings: result.warnings, preview }, [result.data.buffer]);
  } catch (error) {
    self.postMessage({ section, id, error: error.message });
  }
});
api.then(() => self.postMessage({ ready: true }), (error) => self.postMessage({ ready: false, error: String(error) }));
