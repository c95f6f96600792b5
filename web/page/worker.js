// The page's parts-list work, off the page's thread: a large file collapses,
// expands or is compared without freezing the page. The result file's bytes
// come back as they are (the download), with the first rows read back for
// showing. The listener is there from the start: work given while the
// module still loads waits for it and then runs, in the order given.
const api = import('../lib/ztxgrp.mjs');

const PREVIEW_ROWS = 500;

import { workbookForm } from './forms.js';

function work({ collapseFile, diffFiles, diffHtml, expandFile, verify }, { kind, bytes, oldBytes, newBytes, oldName, newName, bom, placements, options }) {
  // The findings for showing (JSON), and for download in the form chosen.
  if (kind === 'verify') {
    const shown = verify(bom, placements, { ...options, format: 'json' });
    const download = verify(bom, placements, { ...options, format: options.format ?? 'csv' });
    return { data: download.data, warnings: shown.warnings, findings: JSON.parse(new TextDecoder().decode(shown.data)).findings };
  }
  // The table of changes, in the form chosen, else in the new list's form.
  if (kind === 'diff') {
    const result = diffFiles(oldBytes, newBytes, { ...options, format: options.format ?? workbookForm(newBytes) ?? 'csv' });
    // The report to read and share, offered beside the table's download.
    result.report = diffHtml(oldBytes, newBytes, { ...options, format: undefined, oldName, newName });
    if (!options.parts) return result;
    // Comparing parts: the parts (and the number of changes) for showing.
    const shown = JSON.parse(new TextDecoder().decode(diffFiles(oldBytes, newBytes, { ...options, format: 'json' }).data));
    return { ...result, parts: { columns: shown.part_columns, parts: shown.parts, changes: shown.changes.length } };
  }
  return (kind === 'expand' ? expandFile : collapseFile)(bytes, options);
}

self.addEventListener('message', async ({ data: request }) => {
  const { section, id, kind } = request;
  try {
    const ztxgrp = await api;
    const result = work(ztxgrp, request);
    if (kind === 'verify') {
      self.postMessage({ section, id, data: result.data, warnings: result.warnings, findings: result.findings }, [result.data.buffer]);
      return;
    }
    // The result read as the library wrote it: the file's own options find
    // its header below any title rows (a comparison's table has none).
    const shown = kind === 'diff' ? {} : request.options;
    const preview = ztxgrp.readFile(result.data, { ...shown, maxRows: PREVIEW_ROWS });
    self.postMessage({ section, id, data: result.data, warnings: result.warnings, preview, parts: result.parts, report: result.report }, [result.data.buffer]);
  } catch (error) {
    self.postMessage({ section, id, error: error.message });
  }
});
api.then(() => self.postMessage({ ready: true }), (error) => self.postMessage({ ready: false, error: String(error) }));
