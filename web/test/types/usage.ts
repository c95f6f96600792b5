// Every export of the package used as its declarations say; compiled with
// tsc --strict by `npm run check:types`, never run.
import {
  ZtxgrpError, collapseCsv, collapseRows, diffCsv, diffRows, expand, expandCsv, expandRows, group,
  isValidRange, readCsv, ungroup,
  type CsvResult, type PartsResult, type PartsRow, type PartsWarning,
} from 'ztxgrp';

const grouped: string[] = group(['R1', 'R2'], { minRun: 3 });
const expanded: string[] = ungroup(new Set(['C1-C3']));
const items: string[] = expand('R1-R4');
const valid: boolean = isValidRange('R1-R3');
const rows: PartsRow[] = [{ Ref: 'R1', Value: '10k', Note: null }, { Ref: 'R2' }];
const collapsed: PartsResult = collapseRows(rows, { refs: 'Ref', qty: 'Qty', by: ['Value'], join: ', ', minRun: 2 });
const perDesignator: PartsResult = expandRows(collapsed.rows, { refs: 'Ref', join: ' ' });
const file: CsvResult = collapseCsv(new Uint8Array([82, 101, 102, 10, 82, 49, 10]), { sep: ',' });
const back: CsvResult = expandCsv('Ref\nR1-R2\n', { sep: null });
const table: { header: string[]; rows: string[][]; rowCount: number } = readCsv(file.data, { maxRows: 10 });
const changes: PartsResult = diffRows(rows, [{ Ref: 'R1', Value: '22k' }], { unchanged: true, by: 'Value' });
const changedFile: CsvResult = diffCsv(new ArrayBuffer(0), 'Ref\n', { sep: 'tab', unchanged: false });
const warning: PartsWarning | undefined = collapsed.warnings[0];
const kind: string | undefined = warning?.kind;
try {
  expand('R3-R1');
} catch (error) {
  if (error instanceof ZtxgrpError) {
    const number: number = error.number;
    const item: string | null = error.item;
    const row: number | null = error.row;
    console.log(number, error.description, item, row);
  }
}
console.log(grouped, expanded, items, valid, perDesignator, back, table, changes, changedFile, kind);
