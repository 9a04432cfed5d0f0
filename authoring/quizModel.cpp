#include "authoring/quizModel.h"

#include "authoring/quizFields.h"

// Field by field through the table, so that a new value is compared too.
bool ModelQuestion::operator==(const ModelQuestion& other) const {
    for (int i = 0; i < fieldCount(); ++i) {
        if (!sameValue(fieldTable()[i], *this, other)) return false;
    }
    return extras == other.extras;
}

bool QuizModel::operator==(const QuizModel& other) const {
    for (int i = 0; i < fieldCount(); ++i) {
        if (!sameValue(fieldTable()[i], *this, other)) return false;
    }
    return extras == other.extras;
}

size_t errorCount(const std::vector<ModelProblem>& problems) {
    size_t errors = 0;
    for (const ModelProblem& problem : problems) errors += !problem.warning;
    return errors;
}
