// A workbook's form by its bytes: an OpenDocument spreadsheet names its kind
// in a first entry "mimetype", stored as it is; any other archive is taken
// for an .xlsx workbook; anything else is no workbook (null).
const MIMETYPE = 'mimetypeapplication/vnd.oasis.opendocument.spreadsheet';

export function workbookForm(bytes) {
  if (!(bytes.length >= 4 && bytes[0] === 0x50 && bytes[1] === 0x4b && bytes[2] === 3 && bytes[3] === 4)) return null;
  const named = new TextDecoder('latin1').decode(bytes.subarray(30, 30 + MIMETYPE.length));
  return named === MIMETYPE ? 'ods' : 'xlsx';
}

export const WORKBOOK_TYPES = {
  xlsx: 'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet',
  ods: 'application/vnd.oasis.opendocument.spreadsheet',
};
