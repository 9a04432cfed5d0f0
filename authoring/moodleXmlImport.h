// Question banks in Moodle XML, as Moodle's "Banque de questions >
// Exporter" writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/questionBank.h"

// Reads every <question> of a <quiz> (UTF-8): a "shortanswer" question and
// a "numerical" one with a single right answer of tolerance 0 become
// questions, their HTML reduced to text; the files the question text embeds
// (<file encoding="base64">, shown as @@PLUGINFILE@@/name) come with them;
// the first "category" names the bank; every other type is counted in
// `reading.leftOut`. False on a file that is not such a bank, or that
// declares entities (none is ever expanded), with `broken` naming the
// element and its line.
bool readMoodleXmlBank(const std::string& bytes, BankReading& reading, ModelProblem& broken);

// The bytes of base64 text (spaces and line breaks ignored); false when it is not base64.
bool decodeBase64(const std::string& text, std::vector<uint8_t>& bytes);
