#!/usr/bin/env node
// Validates glTF files with the Khronos validator; exits non-zero when any file has an
// error or a warning. Usage: node validate.js FILE...
'use strict';

const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function validate(file) {
	const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
		uri: path.basename(file),
		externalResourceFunction: (uri) =>
			Promise.resolve(new Uint8Array(fs.readFileSync(path.join(path.dirname(file), decodeURIComponent(uri))))),
	});
	const issues = report.issues;
	console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos, ${issues.numHints} hints`);
	for (const message of issues.messages) {
		console.log(`  ${['error', 'warning', 'info', 'hint'][message.severity]} ${message.code} ${message.pointer || ''}: ${message.message}`);
	}
	return issues.numErrors === 0 && issues.numWarnings === 0;
}

async function main(files) {
	if (files.length === 0) {
		console.error('usage: node validate.js FILE...');
		return 2;
	}
	let clean = true;
	for (const file of files) {
		clean = (await validate(file)) && clean;
	}
	return clean ? 0 : 1;
}

main(process.argv.slice(2)).then((code) => process.exit(code), (error) => {
	console.error(error);
	process.exit(1);
});
