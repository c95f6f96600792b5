// The page's parts-list work, off the page's thread: a large file collapses
// or expands without freezing the page. The result file's bytes come back
// as they are (the download), with the first rows read back for showing.
import { collapseCsv, expandCsv, readCsv } from '../lib/ztxgrp.mjs';

const PREVIEW_ROWS = 500;

self.addEventListener('message', ({ data: { id, bytes, expand } }) => {
  try {
    const result = (expand ? expandCsv : collapseCsv)(bytes);
    const preview = readCsv(result.data, { maxRows: PREVIEW_ROWS });
    self.postMessage({ id, data: result.data, warnings: result.warnings, preview }, [result.data.buffer]);
  } catch (error) {
    self.postMessage({ id, error: error.message });
  }
});
self.postMessage({ ready: true });
