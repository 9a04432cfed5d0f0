#include "authoring/workflows.h"

#include <algorithm>

#include "authoring/csvImport.h"
#include "authoring/giftImport.h"
#include "authoring/messages.h"
#include "authoring/moodleBank.h"
#include "authoring/moodleXmlImport.h"
#include "authoring/paths.h"
#include "authoring/quizCheck.h"
#include "authoring/quizFields.h"
#include "authoring/quizNames.h"
#include "authoring/scormPackage.h"
#include "authoring/webPage.h"

namespace {

ModelProblem problemOf(const std::string& message) {
    ModelProblem problem;
    problem.message = message;
    return problem;
}

void addProblem(WorkflowReport& report, const std::string& file, const std::string& message) {
    report.problems.push_back({file, problemOf(message)});
}

// Problems marked as warnings go with the warnings: they stop nothing.
void addChecked(WorkflowReport& report, const std::string& file, const std::vector<ModelProblem>& found) {
    for (const ModelProblem& problem : found) {
        (problem.warning ? report.warnings : report.problems).push_back({file, problem});
    }
}

std::string count(size_t n) {
    return std::to_string(n);
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

bool hasProblem(const std::vector<ModelProblem>& problems, int question, ModelField field) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const ModelProblem& p) { return p.question == question && p.field == field && !p.warning; });
}

// How the source will name the media folder: relative to the source's own
// folder when it lies inside it, else by its full path; "/" between names.
std::string mediaPrefix(FileSystem& files, const std::string& sourceFile, const std::string& mediaFolder) {
    const std::string full = files.fullPath(mediaFolder);
    std::string prefix = relativeInside(folderOf(files.fullPath(sourceFile)), full);
    if (prefix.empty()) {
        prefix = full;
        std::replace(prefix.begin(), prefix.end(), '\\', '/');
    }
    return prefix + "/";
}

}  // namespace

std::string reportText(const ReportProblem& problem) {
    return formatProblem(problem.file, problem.problem);
}

std::string picturesRowWarningText(const QuizModel& model) {
    const size_t questions = model.questions.size();
    if (model.kind != kindPictures || questions % 3 == 0) return "";
    return messageText(Message::picturesRowWarning, {count((questions + 2) / 3 * 3), count(questions)});
}

WorkflowReport checkQuizFiles(FileSystem& files, const QuizModel& model, const std::string& sourceFile,
                              MediaVerdicts* verdicts) {
    WorkflowReport report;
    const std::vector<ModelProblem> found = checkQuiz(model);
    addChecked(report, sourceFile, found);
    addChecked(report, sourceFile, quizWarnings(model));
    const FileReader reader = [&files](const std::string& path, std::vector<uint8_t>& bytes) {
        return files.read(path, bytes);
    };
    for (size_t i = 0; i < model.questions.size(); ++i) {
        const ModelQuestion& question = model.questions[i];
        const int at = static_cast<int>(i);
        for (int f = 0; f < fieldCount(); ++f) {
            const FieldInfo& info = fieldTable()[f];
            const std::string& given = info.media ? question.*info.questionText : std::string();
            if (given.empty() || hasProblem(found, at, info.field)) continue;
            // Pictures are read as the player reads them; a clip only needs to be there.
            const bool picture = (info.kinds & kindBit(kindPictures)) != 0;
            const std::string path = mediaPath(sourceFile, given);
            const std::string key = (picture ? "picture:" : "clip:") + path;
            std::string message;
            if (verdicts && verdicts->count(key)) {
                message = verdicts->at(key);
            } else {
                std::vector<uint8_t> bytes;
                message = mediaProblem(path, picture, reader, playerReadsPng, bytes);
                if (verdicts) (*verdicts)[key] = message;
            }
            if (message.empty()) continue;
            ModelProblem problem = problemOf(message);
            problem.field = info.field;
            problem.question = at;
            report.problems.push_back({sourceFile, problem});
        }
    }
    const std::string rows = picturesRowWarningText(model);
    if (!rows.empty()) report.warnings.push_back({sourceFile, problemOf(rows)});
    return report;
}

std::string buildOutput(const BuildRequest& request) {
    return request.output.empty() ? withExtension(request.source, ".exe") : request.output;
}

WorkflowReport buildQuizModel(FileSystem& files, const QuizModel& model, const BuildRequest& request,
                              const SourceLines* lines) {
    WorkflowReport report;
    const std::string output = buildOutput(request);
    const std::string player = request.player.empty() ? files.programFolder() + "vetra.exe" : request.player;
    const FileReader reader = [&files](const std::string& path, std::vector<uint8_t>& bytes) {
        return files.read(path, bytes);
    };
    std::vector<ModelProblem> found;
    std::vector<PackedResource> resources;
    if (!assembleQuiz(model, request.source, reader, playerReadsPng, resources, found)) {
        if (lines) locateProblems(*lines, found);
        addChecked(report, request.source, found);
        report.refusal = {request.source,
                          countedMessage(report.problems.size(), Message::notPackedOne, Message::notPacked)};
        return report;
    }
    const std::string rows = picturesRowWarningText(model);
    if (!rows.empty()) report.warnings.push_back({request.source, problemOf(rows)});
    if (files.playerHasSymbols(player)) {
        report.warnings.push_back({player, problemOf(messageText(Message::unstrippedWarning))});
    }
    std::string error;
    if (!files.writePlayer(player, output, resources, error)) {
        addProblem(report, output, error);
        return report;
    }
    report.done.push_back(
        {request.source, countedMessage(model.questions.size(), Message::packedOne, Message::packed, {output})});
    return report;
}

WorkflowReport buildQuizSource(FileSystem& files, const BuildRequest& request) {
    std::vector<uint8_t> bytes;
    if (!files.read(request.source, bytes)) {
        WorkflowReport report;
        addProblem(report, request.source, messageText(Message::cannotReadSource));
        return report;
    }
    QuizModel model;
    SourceLines lines;
    std::vector<ModelProblem> found, warnings;
    readAndCheckQuiz(std::string(bytes.begin(), bytes.end()), model, lines, found, &warnings);
    WorkflowReport read;
    addChecked(read, request.source, found);
    addChecked(read, request.source, warnings);
    if (!read.problems.empty()) {
        read.refusal = {request.source,
                        countedMessage(read.problems.size(), Message::notPackedOne, Message::notPacked)};
        return read;
    }
    // The reading's warnings first, as the source's lines come before the build's.
    WorkflowReport report = buildQuizModel(files, model, request, &lines);
    report.warnings.insert(report.warnings.begin(), read.warnings.begin(), read.warnings.end());
    return report;
}

WorkflowReport extractQuizMedia(FileSystem& files, const std::string& executable, const std::string& mediaFolder,
                                const std::string& mediaPrefix, QuizModel& model, std::vector<std::string>& written) {
    WorkflowReport report;
    std::vector<PackedResource> resources;
    std::string error;
    ExtractedQuiz quiz;
    if (!files.readPlayer(executable, resources, error) || !extractQuiz(resources, mediaPrefix, quiz, error)) {
        addProblem(report, executable, error);
        return report;
    }
    if (!quiz.files.empty()) files.createFolder(mediaFolder);
    for (const ExtractedFile& file : quiz.files) {
        const std::string path = joinPath(mediaFolder, file.name);
        if (!files.write(path, *file.data)) {
            addProblem(report, executable, messageText(Message::cannotWrite, {windowsPath(path)}));
            return report;
        }
        written.push_back(path);
    }
    if (!quiz.rewardCodesFound)
        report.warnings.push_back({executable, problemOf(messageText(Message::noCodesWarning))});
    model = std::move(quiz.model);
    return report;
}

WorkflowReport extractQuizSource(FileSystem& files, const ExtractRequest& request) {
    const std::string output = request.output.empty() ? withExtension(request.executable, ".toml") : request.output;
    const std::string media = request.mediaFolder.empty() ? withExtension(output, "-media") : request.mediaFolder;
    QuizModel model;
    std::vector<std::string> written;
    WorkflowReport report =
        extractQuizMedia(files, request.executable, media, mediaPrefix(files, output, media), model, written);
    // The source is written last; a failure removes what this run wrote.
    if (report.succeeded() && !files.write(output, bytesOf(writeQuizToml(model)))) {
        addProblem(report, request.executable, messageText(Message::cannotWrite, {output}));
    }
    if (!report.succeeded()) {
        for (const std::string& path : written) files.remove(path);
        report.warnings.clear();
        return report;
    }
    // The warning is about the source written without codes.
    for (ReportProblem& warning : report.warnings) warning.file = output;
    std::string done = messageText(Message::extracted, {output});
    if (!written.empty()) {
        done += " ; " + countedMessage(written.size(), Message::extractedMediaOne, Message::extractedMedia, {media});
    }
    report.done.push_back({request.executable, done});
    return report;
}

bool isQuestionBank(const std::string& path) {
    return hasExtension(path, ".gift") || hasExtension(path, ".txt") || hasExtension(path, ".xml");
}

namespace {

WorkflowReport importBank(FileSystem& files, const std::string& bank, const std::string& bytes, QuizModel& model,
                          bool formWords, const std::string& sourceFile) {
    WorkflowReport report;
    BankReading reading;
    ModelProblem broken;
    const bool read =
        hasExtension(bank, ".xml") ? readMoodleXmlBank(bytes, reading, broken) : readGiftBank(bytes, reading, broken);
    if (!read) {
        report.problems.push_back({bank, broken});
        report.refusal = {bank, countedMessage(1, Message::notImportedOne, Message::notImported)};
        return report;
    }
    BankImportOptions options;
    const std::string owner = sourceFile.empty() ? bank : sourceFile;
    options.mediaFolder = withExtension(owner, "-media");
    if (sourceFile.empty()) {
        // The quiz has no file yet: the media are named by their full path, which holds wherever it is saved.
        std::string full = files.fullPath(options.mediaFolder);
        std::replace(full.begin(), full.end(), '\\', '/');
        options.mediaPrefix = full + "/";
    } else {
        options.mediaPrefix = mediaPrefix(files, sourceFile, options.mediaFolder);
    }
    BankImportResult result;
    const QuizModel before = model;
    const bool imported = importQuestionBank(reading, model, options, result);
    for (const std::string& notice : result.notices) report.warnings.push_back({bank, problemOf(notice)});
    for (const ModelProblem& warning : result.warnings) report.warnings.push_back({bank, warning});
    if (!imported) {
        for (const ModelProblem& problem : result.problems) report.problems.push_back({bank, problem});
        report.refusal = {bank, countedMessage(result.problems.size(), Message::notImportedOne, Message::notImported)};
        return report;
    }
    if (!result.mediaToWrite.empty()) files.createFolder(options.mediaFolder);
    std::vector<std::string> written;
    for (const BankFile& file : result.mediaToWrite) {
        const std::string path = joinPath(options.mediaFolder, file.name);
        if (!files.write(path, file.bytes)) {
            for (const std::string& done : written) files.remove(done);
            model = before;
            report.warnings.clear();
            addProblem(report, bank, messageText(Message::cannotWrite, {windowsPath(path)}));
            return report;
        }
        written.push_back(path);
    }
    report.done.push_back({bank, result.imported == 1
                                     ? messageText(Message::questionImported)
                                     : messageText(Message::questionsImported, {count(result.imported)})});
    if (!written.empty()) {
        report.done.push_back({bank, countedMessage(written.size(), Message::extractedMediaOne, Message::extractedMedia,
                                                    {windowsPath(options.mediaFolder)})});
    }
    const std::string reveal = revealChosenNotice(result.revealChosen, formWords);
    if (!reveal.empty()) report.done.push_back({bank, reveal});
    return report;
}

}  // namespace

WorkflowReport importQuestions(FileSystem& files, const std::string& table, QuizModel& model, bool formWords,
                               const std::string& sourceFile) {
    WorkflowReport report;
    std::vector<uint8_t> bytes;
    if (!files.read(table, bytes)) {
        addProblem(report, table, messageText(Message::cannotReadMedia, {table}));
        return report;
    }
    if (isQuestionBank(table)) {
        return importBank(files, table, std::string(bytes.begin(), bytes.end()), model, formWords, sourceFile);
    }
    const size_t before = model.questions.size();
    std::vector<ModelProblem> found;
    CsvImportSummary summary;
    if (!importQuestionsCsv(std::string(bytes.begin(), bytes.end()), model, found, &summary)) {
        for (const ModelProblem& problem : found) report.problems.push_back({table, problem});
        report.refusal = {table, countedMessage(found.size(), Message::notImportedOne, Message::notImported)};
        return report;
    }
    const size_t added = model.questions.size() - before;
    report.done.push_back({table, added == 1 ? messageText(Message::questionImported)
                                             : messageText(Message::questionsImported, {count(added)})});
    // The table's comments or solutions would not build under the quiz's mode: the author hears of the change.
    const std::string reveal = revealChosenNotice(summary.revealChosen, formWords);
    if (!reveal.empty()) report.done.push_back({table, reveal});
    return report;
}

WorkflowReport importQuizSource(FileSystem& files, const std::string& table, std::string output, int kind) {
    if (output.empty()) output = withExtension(table, ".toml");
    WorkflowReport report;
    if (files.exists(output)) {
        addProblem(report, output, messageText(Message::alreadyExists));
        return report;
    }
    QuizModel model;
    model.kind = kind == modelKindUnset && !isQuestionBank(table) ? kindText : kind;
    // A bank's first category names the quiz; the file's name otherwise.
    if (!isQuestionBank(table)) model.title = fileStem(table);
    report = importQuestions(files, table, model, false, output);
    if (!report.succeeded()) return report;
    if (model.title.empty()) model.title = fileStem(table);
    if (!files.write(output, bytesOf(writeQuizToml(model)))) {
        report.done.clear();
        addProblem(report, output, messageText(Message::cannotWrite, {output}));
        return report;
    }
    report.done.front() = {table,
                           countedMessage(model.questions.size(), Message::importedOne, Message::imported, {output})};
    return report;
}

namespace {

enum class WebSource { read, unreadable, refused };

// The model of a source or of a packed quiz, and the media of a packed one.
WebSource readQuizForWeb(FileSystem& files, const std::string& source, QuizModel& model, SourceLines& lines,
                         std::map<std::string, std::vector<uint8_t>>& packedMedia, WorkflowReport& report) {
    if (hasExtension(source, ".exe")) {
        std::vector<PackedResource> resources;
        std::string error;
        ExtractedQuiz quiz;
        if (!files.readPlayer(source, resources, error) || !extractQuiz(resources, "", quiz, error)) {
            addProblem(report, source, error);
            return WebSource::unreadable;
        }
        for (const ExtractedFile& file : quiz.files) packedMedia[file.name] = *file.data;
        model = std::move(quiz.model);
        return WebSource::read;
    }
    std::vector<uint8_t> bytes;
    if (!files.read(source, bytes)) {
        addProblem(report, source, messageText(Message::cannotReadSource));
        return WebSource::unreadable;
    }
    std::vector<ModelProblem> found, warnings;
    readAndCheckQuiz(std::string(bytes.begin(), bytes.end()), model, lines, found, &warnings);
    addChecked(report, source, found);
    addChecked(report, source, warnings);
    return report.problems.empty() ? WebSource::read : WebSource::refused;
}

}  // namespace

namespace {

// A quiz to export: its model, read from a source or a packed quiz, and how
// to read its media (a packed quiz's out of the player).
struct ExportSource {
    QuizModel model;
    std::map<std::string, std::vector<uint8_t>> packedMedia;
    bool packed = false;
    std::string sourceFile;  // what media paths are relative to: "" for a packed quiz
};

FileReader exportReader(FileSystem& files, const ExportSource& source) {
    return [&files, &source](const std::string& path, std::vector<uint8_t>& bytes) {
        if (!source.packed) return files.read(path, bytes);
        const auto found = source.packedMedia.find(path);
        if (found == source.packedMedia.end()) return false;
        bytes = found->second;
        return true;
    };
}

// The quiz of `source`, checked as a build checks it, media included: a
// quiz the player refuses is exported nowhere. False with the report's
// problems (and refusal) otherwise.
bool readExportSource(FileSystem& files, const std::string& source, ExportSource& out, WorkflowReport& report) {
    SourceLines lines;
    out.packed = hasExtension(source, ".exe");
    out.sourceFile = out.packed ? std::string() : source;
    const WebSource read = readQuizForWeb(files, source, out.model, lines, out.packedMedia, report);
    if (read != WebSource::read) {
        // A file that could not be read at all is its own message, as for a build.
        if (read == WebSource::refused) {
            report.refusal = {source,
                              countedMessage(report.problems.size(), Message::notPackedOne, Message::notPacked)};
        }
        return false;
    }
    std::vector<ModelProblem> found;
    std::vector<PackedResource> unused;
    if (!assembleQuiz(out.model, out.sourceFile, exportReader(files, out), playerReadsPng, unused, found)) {
        locateProblems(lines, found);
        addChecked(report, source, found);
        report.refusal = {source, countedMessage(report.problems.size(), Message::notPackedOne, Message::notPacked)};
        return false;
    }
    return true;
}

}  // namespace

WorkflowReport exportWebQuiz(FileSystem& files, const WebExportRequest& request) {
    WorkflowReport report;
    const std::string output =
        request.output.empty() ? withExtension(request.source, request.scorm ? ".zip" : ".html") : request.output;
    ExportSource source;
    if (!readExportSource(files, request.source, source, report)) return report;
    const QuizModel& model = source.model;
    const FileReader reader = exportReader(files, source);
    WebPage page;
    const std::string stem = fileStem(output);
    if (!writeWebPage(model, source.sourceFile, reader, stem + ".txt", page)) {
        for (const std::string& path : page.unreadable) {
            addProblem(report, request.source, messageText(Message::cannotReadMedia, {windowsPath(path)}));
        }
        return report;
    }
    for (const std::string& path : page.unshowable) {
        report.warnings.push_back({request.source, problemOf(messageText(Message::webUnshowable, {path}))});
    }
    if (page.html.size() > webPageLargeSize) {
        report.warnings.push_back(
            {request.source, problemOf(messageText(Message::webLarge, {count(page.html.size() / (1024 * 1024))}))});
    }
    std::string bytes = page.html;
    if (request.scorm && !writeScormPackage(model.title, stem + ".html", page.html, bytes)) {
        addProblem(report, output, messageText(Message::cannotWrite, {windowsPath(output)}));
        return report;
    }
    if (!files.write(output, bytesOf(bytes))) {
        addProblem(report, output, messageText(Message::cannotWrite, {windowsPath(output)}));
        return report;
    }
    report.done.push_back(
        {request.source, messageText(request.scorm ? Message::scormWritten : Message::webWritten, {output})});
    return report;
}

std::string moodleOutput(const MoodleExportRequest& request) {
    return request.output.empty() ? withExtension(request.source, request.gift ? ".gift" : ".xml") : request.output;
}

WorkflowReport exportMoodleBank(FileSystem& files, const MoodleExportRequest& request) {
    WorkflowReport report;
    const std::string output = moodleOutput(request);
    ExportSource source;
    if (!readExportSource(files, request.source, source, report)) return report;
    // The bank's category is the quiz's title; a packed quiz always has one, a source must.
    const std::string category = source.model.title.empty() ? fileStem(output) : source.model.title;
    MoodleBank bank;
    if (request.gift) {
        writeGift(source.model, category, bank);
        for (const std::string& name : bank.arrowsLeftOut) {
            report.warnings.push_back({request.source, problemOf(messageText(Message::giftArrowLeftOut, {name}))});
        }
        if (bank.mediaLeftOut > 0) {
            report.warnings.push_back(
                {request.source, problemOf(countedMessage(bank.mediaLeftOut, Message::giftMediaLeftOutOne,
                                                          Message::giftMediaLeftOut))});
        }
    } else if (!writeMoodleXml(source.model, category, source.sourceFile, exportReader(files, source), bank)) {
        for (const std::string& path : bank.unreadable) {
            addProblem(report, request.source, messageText(Message::cannotReadMedia, {windowsPath(path)}));
        }
        return report;
    }
    for (const std::string& path : bank.unshowable) {
        report.warnings.push_back({request.source, problemOf(messageText(Message::moodleUnshowable, {path}))});
    }
    if (!files.write(output, bytesOf(bank.text))) {
        addProblem(report, output, messageText(Message::cannotWrite, {windowsPath(output)}));
        return report;
    }
    report.done.push_back(
        {request.source,
         countedMessage(bank.questions, request.gift ? Message::giftWrittenOne : Message::moodleWrittenOne,
                        request.gift ? Message::giftWritten : Message::moodleWritten, {output})});
    return report;
}
