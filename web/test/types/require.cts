// The package as TypeScript's CommonJS code loads it (require's own
// declarations); compiled with tsc --strict by `npm run check:types`.
import z = require('ztxgrp');

const grouped: string[] = z.group(['R2', 'R1'], { minRun: 2 });
const table: { header: string[] } = z.collapseRows([{ Ref: 'R1' }]);
const failure: typeof z.ZtxgrpError = z.ZtxgrpError;
console.log(grouped, table.header, failure.name);
