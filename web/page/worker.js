// The page's parts-list work, off the page's thread: a large file collapses,
// expands or is compared without freezing the page. The result file's bytes
// come back as they are (the download), with the first rows read back for
// showing.
import { collapseCsv, diffCsv, expandCsv, readCsv } from '../lib/ztxgrp.mjs';

const PREVIEW_ROWS = 500;

function work({ kind, bytes, oldBytes, newBytes }) {
  if (kind === 'diff') return diffCsv(oldBytes, newBytes);
  return (kind === 'expand' ? expandCsv : collapseCsv)(bytes);
}

self.addEventListener('message', ({ data: request }) => {
  try {
    const result = work(request);
    const preview = readCsv(result.data, { maxRows: PREVIEW_ROWS });
    self.postMessage({ id: request.id, data: result.data, warnings: result.warnings, preview }, [result.data.buffer]);
  } catch (error) {
    self.postMessage({ id: request.id, error: error.message });
  }
});
self.postMessage({ ready: true });
