/** A runtime error of the engine: its number, description and offending item. */
export class ZtxgrpError extends Error {
  /** 5 invalid argument, 6 overflow, 7 out of memory, 9 subscript out of range, 13 type mismatch, 94 invalid use of null. */
  readonly number: number;
  readonly description: string;
  /** The text at fault, when known. */
  readonly item: string | null;
  /** For parts lists: the row (1 for the first) at fault, when known. */
  readonly row: number | null;
}

export interface GroupOptions {
  /** Runs shorter than this are written item by item (default 2: every run). */
  minRun?: number;
}

/** Sorts items and folds runs into ranges: ['R3','R1','C2','R2'] -> ['C2','R1-R3']. */
export function group(items: Iterable<string>, options?: GroupOptions): string[];
/** Expands items and ranges, sorted: ['C1-C3','R5'] -> ['C1','C2','C3','R5']. */
export function ungroup(items: Iterable<string>): string[];
/** Expands one item or range text: 'R1-R3' -> ['R1','R2','R3']. */
export function expand(text: string): string[];
/** Whether a text is a valid item or ascending range. */
export function isValidRange(text: string): boolean;

/**
 * A row of a parts list: column name to cell, as a CSV parser gives it. Only
 * the row's own enumerable properties are read, so any name is a column
 * ("constructor", "__proto__"); a column the row lacks is an empty cell.
 */
export type PartsRow = Record<string, string | null | undefined>;

/** How messages name the options, for an application with fields of its own. */
export interface MessageOptions {
  /**
   * Texts that name options in messages instead of their names:
   * { refs: 'the "Designator column" field' } makes a list without a known
   * designator column say "...; name it with the "Designator column" field".
   */
  optionLabels?: { [option: string]: string } | null;
}

export interface PartsOptions extends MessageOptions {
  /** The designator column (default: Reference, Ref, Designator, RefDes, ...). */
  refs?: string;
  /** The quantity column (default: Qty or Quantity, else a new column "Qty"). */
  qty?: string;
  /** The key columns (default: all but designators and quantity): names, or one text "A,B". */
  by?: Iterable<string> | string | null;
  /** Between grouped entries (default ", "); also separates when reading. */
  join?: string | null;
  minRun?: number;
  /** Collapsing: a part with more designators becomes several rows of at most this many. */
  maxPerRow?: number | null;
  /** Collapsing: designators written one by one, never as a range. */
  noRanges?: boolean | null;
}

export interface CsvOptions extends PartsOptions {
  /** The separator: one character or "tab" (default: the one of , ; TAB in the header line). */
  sep?: string | null;
  /**
   * The header's row, as a spreadsheet numbers rows (default: the first row
   * that names the designator column); the rows above it are a title,
   * written back unchanged.
   */
  headerRow?: number | null;
  /**
   * The parts' last row, counted as headerRow is (default: the parts end at
   * the first empty row after one); the rows below are kept as they are.
   */
  lastRow?: number | null;
  /** A workbook's sheet to read (default: the first). */
  sheet?: string | null;
  /** The form of the data returned, "csv", "xlsx" or "ods" (default: the input's); comparisons also "text", "json" or "html". */
  format?: 'text' | 'csv' | 'json' | 'html' | 'xlsx' | 'ods' | null;
}

export interface CsvResult {
  /** The whole output file, in the input's separator, quoting, line ends and encoding. */
  data: Uint8Array;
  warnings: PartsWarning[];
}

export interface PartsWarning {
  /** 'column-not-compared' and 'boards' (a list for several boards) are notes, which come first. */
  kind: 'duplicate-designator' | 'differing-cells' | 'quantity-not-whole' | 'quantity-mismatch' | 'column-not-compared' | 'boards' | 'formula-without-value';
  /** One line, naming the rows by number (1 for the first). */
  message: string;
  rows: number[];
}

export interface PartsResult {
  /** The columns in order, the quantity column included; empty when no rows were given. */
  header: string[];
  /**
   * Each row holds every column as an own property, defined rather than
   * assigned, so that a column named "__proto__" is a cell like the others.
   */
  rows: Record<string, string>[];
  warnings: PartsWarning[];
}

/** One row per part, designators grouped and counted; designators kept as written. */
export function collapseRows(rows: Iterable<PartsRow>, options?: PartsOptions): PartsResult;
/** One row per designator, every other cell copied, quantity 1. */
export function expandRows(rows: Iterable<PartsRow>, options?: Omit<PartsOptions, 'by' | 'minRun'>): PartsResult;

/** A parts-list CSV file (bytes, or a string written as UTF-8) collapsed: the bytes `ztxgrp bom` writes. */
export function collapseCsv(data: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: CsvOptions): CsvResult;
/** A parts-list CSV file expanded to one row per designator: the bytes `ztxgrp bom --expand` writes. */
export function expandCsv(data: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: Omit<CsvOptions, 'by' | 'minRun'>): CsvResult;

/** A CSV file read as the parts-list functions read it: the header, the first `maxRows` rows, the row count. */
export function readCsv(data: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: CsvOptions & { maxRows?: number }): { header: string[]; rows: string[][]; rowCount: number };

export interface DiffOptions extends PartsOptions {
  /** Also the designators that did not change (default false). */
  unchanged?: boolean;
  /** The columns that name a part (text separated by commas, or a list): the parts whose quantity changed follow the changes, and designators whose part changed are "moved". */
  parts?: string | string[];
  /** With `parts`: the boards being built; the quantities per board times this (default 1). */
  boards?: number;
}
/** What changed between two parts lists: the rows of `ztxgrp diff --csv`, by column name. */
export function diffRows(oldRows: Iterable<PartsRow>, newRows: Iterable<PartsRow>, options?: DiffOptions): PartsResult & {
  /** With `parts`: the parts whose quantity changed, by the columns of `ztxgrp diff --parts --csv`'s parts table. */
  parts?: PartsRow[];
};
/** Two parts-list files compared: the bytes `ztxgrp diff --csv` writes. */
export function diffCsv(oldData: Uint8Array | ArrayBuffer | ArrayBufferView | string, newData: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: DiffOptions & Pick<CsvOptions, 'sep' | 'headerRow' | 'lastRow' | 'sheet' | 'format'>): CsvResult;

export function collapseFile(data: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: CsvOptions): CsvResult;
export function expandFile(data: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: Omit<CsvOptions, 'by' | 'minRun'>): CsvResult;
export function readFile(data: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: CsvOptions & { maxRows?: number }): { header: string[]; rows: string[][]; rowCount: number };
export function diffFiles(oldData: Uint8Array | ArrayBuffer | ArrayBufferView | string, newData: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: DiffOptions & Pick<CsvOptions, 'sep' | 'headerRow' | 'lastRow' | 'sheet' | 'format'>): CsvResult;
/** Two parts-list files compared, as the self-contained HTML report `ztxgrp diff --html` writes; the lists named `oldName` and `newName`. */
export function diffHtml(oldData: Uint8Array | ArrayBuffer | ArrayBufferView | string, newData: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: DiffOptions & Pick<CsvOptions, 'sep' | 'headerRow' | 'lastRow' | 'sheet'> & { oldName?: string; newName?: string }): string;
export function diffText(oldData: Uint8Array | ArrayBuffer | ArrayBufferView | string, newData: Uint8Array | ArrayBuffer | ArrayBufferView | string, options?: DiffOptions & Pick<CsvOptions, 'sep' | 'headerRow' | 'lastRow' | 'sheet'>): string;

export interface VerifyOptions extends CsvOptions {
  /** Shell-style patterns (FID*, TP*) of designators left out of those on one side only. */
  ignore?: Iterable<string> | string | null;
  /** The placement files' form (default: recognised by content). */
  placementFormat?: 'kicad-pos' | 'kicad-csv' | 'cpl' | 'altium' | 'eagle' | 'xyrs' | null;
}

/** A file with the name that findings give it. */
export interface NamedFile {
  name: string;
  data: Uint8Array | ArrayBuffer | string;
}

/** A placement table with the name that findings give it. */
export interface NamedRows {
  name: string;
  rows: Iterable<PartsRow>;
}

export interface VerifyFinding {
  finding: 'not-placed' | 'not-in-parts-list' | 'letter-case' | 'repeated' | 'quantity' | 'no-designator' | 'do-not-place' | 'cells-differ' | 'too-many-per-row';
  /** Grouped as collapsing groups them; empty for a row without designators. */
  designators: string;
  count: number;
  detail: string;
  places: { file: string; noun: string; lines: number[] }[];
}

/**
 * A parts list checked against its placement files, as `ztxgrp verify`
 * checks them: `data` is what it writes in `format` (default 'text').
 */
export function verify(
  bom: Uint8Array | ArrayBuffer | string | NamedFile,
  placements?: Iterable<Uint8Array | ArrayBuffer | string | NamedFile> | Map<string, Uint8Array | ArrayBuffer | string> | Record<string, Uint8Array | ArrayBuffer | string>,
  options?: VerifyOptions,
): CsvResult;
/** Rows checked as verify checks files: the findings. */
export function verifyRows(
  bomRows: Iterable<PartsRow>,
  placements?: Iterable<Iterable<PartsRow> | NamedRows> | Map<string, Iterable<PartsRow>> | Record<string, Iterable<PartsRow>>,
  options?: VerifyOptions,
): { findings: VerifyFinding[]; warnings: PartsWarning[] };

/** A list of designators: one cell's text ("R1-R3, C2") or a list of cells. */
export type DesignatorList = string | Iterable<string>;
/** Every designator in any list, as group writes them. */
export function union(lists: Iterable<DesignatorList>, options?: GroupOptions): string[];
/** The designators in every list. */
export function intersect(lists: Iterable<DesignatorList>, options?: GroupOptions): string[];
/** The designators of the first list in none of the others. */
export function subtract(lists: Iterable<DesignatorList>, options?: GroupOptions): string[];
/** The designators in an odd number of the lists. */
export function xor(lists: Iterable<DesignatorList>, options?: GroupOptions): string[];
/** Each list's number of designators (each once) and of those written more than once. */
export function count(lists: Iterable<DesignatorList>): { designators: number; repeated: number }[];
/** For each item (a designator or a range): whether all of it is in `members`. */
export function contains(members: DesignatorList, items: Iterable<DesignatorList>): boolean[];
/** For each prefix, the numbers missing between its lowest and highest designator. */
export function gaps(members: DesignatorList, options?: GroupOptions): string[];
/** The `n` (default 1) lowest free numbers of `prefix`; `found` below `n` when fewer are left. */
export function free(members: DesignatorList, prefix: string, options?: GroupOptions & { n?: number }): { entries: string[]; found: number };
