"""Atelier Vetra as a screen reader meets it, read from another process through
MSAA: every field named by the label the form shows beside it (without its
access key's "&" and its colon), the previews and the score column by what
they show; a new problem in the Problems list and a new message of the status
line signalled as live regions, once, and neither the counts that follow
typing nor a problem going away."""
import harness
from harness import wait_for
from test_accessibility import Events, accessible, live_changes
from test_editor import CMD_BUILD, Editor, ID_PROBLEMS, ID_STATUS, ID_TITLE

_E = harness.EDITOR_IDS
OWN_NAMES = {_E.idPreviewPicture: "Aper\u00e7u de l'image", _E.idPreviewSolution: "Aper\u00e7u de la solution",
             _E.idRewardScores: "Bonnes r\u00e9ponses de chaque code"}
# Every control a label names, as editor/editorCommands.h numbers them.
LABELLED = [_E.idKind, _E.idTitle, _E.idAuthor, _E.idExplanations, _E.idLink, _E.idAnswersPerQuestion, _E.idCaption1,
            _E.idCaption2, _E.idReveal, _E.idColourSwatch, _E.idRewardCodes, _E.idAnswer, _E.idOtherAnswers, _E.idAnswer2,
            _E.idOtherAnswers2, _E.idPrompt,
            _E.idComment, _E.idComment2, _E.idPicture, _E.idSolution, _E.idClip, _E.idTryAnswer, _E.idTryAnswer2,
            _E.idQuestionList, _E.idProblemList]


def spoken(label):
    """A label as it is spoken: its access key's "&" gone ("&&" is one "&"), its colon too."""
    return label.replace("&&", "\0").replace("&", "").replace("\0", "&").rstrip(" :")


class EditorAccessibilityTest(harness.unittest.TestCase):
    def test_every_field_is_named_by_its_label(self):
        editor = Editor(self)
        tree = [c for c in (harness.Control(l) for l in harness.probe("tree", editor.main).splitlines() if l.strip())
                if c.depth == 0]
        # Each label is made just before the control it names, so it comes just before it in z-order.
        labels = {}
        for before, control in zip(tree, tree[1:]):
            if before.cls.lower() == "static" and control.id in LABELLED + [_E.idPreviewPicture, _E.idPreviewSolution]:
                labels[control.id] = before.text
        self.assertEqual(sorted(labels), sorted(LABELLED + [_E.idPreviewPicture, _E.idPreviewSolution]))
        read = accessible(editor.main)
        for control_id in LABELLED:
            with self.subTest(control=control_id):
                self.assertEqual(read[control_id].name, spoken(labels[control_id]))
                self.assertNotIn("&", read[control_id].name)
                self.assertTrue(read[control_id].name, labels[control_id])
        for control_id, name in OWN_NAMES.items():
            self.assertEqual(read[control_id].name, name)

    def test_a_new_problem_and_a_new_message_are_announced_once(self):
        editor = Editor(self)
        self.assertEqual(editor.items(ID_PROBLEMS), ([], -1))
        problems, status = editor.child(ID_PROBLEMS), editor.child(ID_STATUS)

        events = Events(editor.main)
        editor.set_text(ID_TITLE, "Formes | couleurs")
        wait_for(lambda: editor.items(ID_PROBLEMS)[0], "the problem is listed")
        # What the list says when it is read is the new problem.
        listed = accessible(editor.main)[ID_PROBLEMS]
        self.assertTrue(listed.description.startswith("Titre : contient \u00ab | \u00bb"), listed)
        editor.set_text(ID_TITLE, "Formes et couleurs")   # gone, and the counts change: nothing
        wait_for(lambda: not editor.items(ID_PROBLEMS)[0], "the problem went away")
        changes = live_changes(events.stop())
        self.assertEqual([c[0] for c in changes], [ID_PROBLEMS], changes)

        events = Events(editor.main)
        editor.command(CMD_BUILD)
        editor.wait_built("3 questions mises dans")
        changes = live_changes(events.stop(), {status})
        self.assertEqual(len(changes), 1, changes)
        self.assertIn("3 questions mises dans", changes[0][1])
        self.assertNotIn(problems, [c[0] for c in changes])


if __name__ == "__main__":
    harness.main()
