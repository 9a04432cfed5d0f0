// Writes the Moodle banks of quizzes for the tests that read them back with
// other parsers (gift-pegjs, Python's XML reader): for each quiz NAME, the
// files NAME.gift and NAME.xml as quizpack moodle writes them, and NAME.json,
// what they should hold: the category and, per answer box, the name, the
// text, the accepted answers and the comment as plain texts, and the media
// file embedded (its full path), taken from the model.
//   writeBank FOLDER SOURCE.toml...
// Besides the sources given, quizzes made here whose texts hold every
// character GIFT and XML treat apart. Exits 1 when a quiz is refused.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/moodleBank.h"
#include "authoring/paths.h"
#include "authoring/quizCheck.h"
#include "authoring/quizToml.h"

namespace {

bool readBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return out.good();
}

std::string json(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string expected(const QuizModel& model, const std::string& source) {
    std::string out = "{\"category\":" + json(model.title) + ",\"questions\":[";
    const std::vector<ExportedQuestion> questions = bankQuestions(model);
    for (size_t i = 0; i < questions.size(); ++i) {
        const ExportedQuestion& q = questions[i];
        out += i ? ",{" : "{";
        out += "\"name\":" + json(q.name) + ",\"text\":" + json(q.text) + ",\"answers\":[";
        for (size_t a = 0; a < q.answers.size(); ++a) out += (a ? "," : "") + json(q.answers[a]);
        out += "],\"feedback\":" + json(q.feedback) + ",\"media\":";
        out += q.media.empty() ? "null" : json(mediaPath(source, q.media));
        out += ",\"picture\":" + std::string(q.picture ? "true" : "false") + "}";
    }
    return out + "]}\n";
}

ModelQuestion question(const std::string& prompt, std::vector<std::string> answers, const std::string& comment = "") {
    ModelQuestion q;
    q.prompt = prompt;
    q.answer = answers.front();
    q.otherAnswers.assign(answers.begin() + 1, answers.end());
    q.comment = comment;
    return q;
}

// Quizzes whose every text holds what the formats treat apart: GIFT's
// ~ = # { } : and backslash, XML's & < > " ', the short answer's *, "]]>",
// "//", a weight's "%", GIFT's "->", a line end, accents, and names past
// Moodle's length.
std::vector<QuizModel> awkwardQuizzes() {
    QuizModel text;
    text.kind = kindText;
    text.title = "Caract\xC3\xA8res : ~ = # { } & < > \" ' / \\ *";
    std::string longPrompt;
    for (int i = 0; i < 26; ++i) longPrompt += "Tr\xC3\xA8s long \xC3\xA9nonc\xC3\xA9 ";
    text.questions = {
        question("1 + 1 = ? {deux} ~ #1", {"2", "deux", "=2", "~2", "#2"}),
        question("Chemin : C:\\dos\\fichier", {"C:\\dos", "C\\:dos", "a\\b"}),
        question("Tom & Jerry <chat> \"souris\" l'un", {"Tom & Jerry", "<chat>", "\"souris\"", "l'un"}),
        question("\xC3\x89toile * et ]]> fin", {"a*b", "*", "]]>"}),
        question("http://ecole.example.fr // pas un commentaire", {"http://x", "a // b"}),
        question("Pourcentages", {"%50%", "50 %", "100%"}),
        question("Formule", {"eau", "H2O -> eau"}),
        question(longPrompt, {"long"}),
        question("Deux\nlignes", {"oui"}),
        question("", {"sans \xC3\xA9nonc\xC3\xA9"}),
    };
    QuizModel boxes;
    boxes.kind = kindPictures;
    boxes.title = "Deux r\xC3\xA9ponses";
    boxes.answersPerQuestion = 2;
    boxes.caption1 = "Forme {1}";
    boxes.caption2 = "Couleur: #2";
    ModelQuestion a = question("Que voit-on ?", {"rond", "cercle"}, "Un rond {bleu} ~ #1 \\ fin");
    a.answer2 = "bleu";
    a.otherAnswers2 = {"azur", "bleu = ciel"};
    a.comment2 = "Le ciel : \"bleu\" & <clair>";
    ModelQuestion b = question("", {"carr\xC3\xA9"});
    b.answer2 = "rouge";
    boxes.questions = {a, b};
    return {text, boxes};
}

bool writeBank(const QuizModel& model, const std::string& source, const std::string& folder, const std::string& name) {
    MoodleBank xml, gift;
    if (!writeMoodleXml(model, model.title, source, readBytes, xml)) {
        for (const std::string& path : xml.unreadable) std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    writeGift(model, model.title, gift);
    const std::string stem = folder + "/" + name;
    return writeText(stem + ".xml", xml.text) && writeText(stem + ".gift", gift.text) &&
           writeText(stem + ".json", expected(model, source));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: writeBank FOLDER SOURCE.toml...\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string source = argv[i];
        std::vector<uint8_t> text;
        QuizModel model;
        SourceLines lines;
        std::vector<ModelProblem> problems;
        if (!readBytes(source, text) || !readQuizToml(std::string(text.begin(), text.end()), model, lines, problems) ||
            errorCount(problems = checkQuiz(model)) > 0) {
            for (const ModelProblem& problem : problems) std::fprintf(stderr, "%s\n", problem.message.c_str());
            std::fprintf(stderr, "%s: not a quiz a build accepts\n", source.c_str());
            return 1;
        }
        if (!writeBank(model, source, folder, fileStem(source))) return 1;
    }
    int n = 0;
    for (const QuizModel& model : awkwardQuizzes()) {
        if (!writeBank(model, "", folder, "awkward" + std::to_string(++n))) return 1;
    }
    return 0;
}
