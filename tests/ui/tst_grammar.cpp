#include "TestEnvironment.h"
#include "ui/SpellChecker.h"
#include "ui/FieldSpelling.h"
#include "ui/SpellLineEdit.h"
#include "ui/SpellingPanel.h"
#include "ui/SpellingTarget.h"
#include "ui/TextChecker.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

#include <memory>

namespace {

// Everyday sentences a writer puts down, right as they stand: names,
// capitalised nouns, words the grammar does not know, short fragments.
// The tuning lists set how a failed parse is read; the held-out lists were
// written after them and are only measured.
const QStringList kTuningCorrect = {
    QStringLiteral("I went to the shop to buy some milk."),
    QStringLiteral("She has lived in London for ten years."),
    QStringLiteral("Could you send me the report by Friday?"),
    QStringLiteral("We are meeting Sarah at the station tomorrow."),
    QStringLiteral("The meeting has been moved to next Tuesday."),
    QStringLiteral("My brother works as a nurse in Manchester."),
    QStringLiteral("Please remember to lock the door when you leave."),
    QStringLiteral("The children played in the garden all afternoon."),
    QStringLiteral("I think we should leave early to avoid the traffic."),
    QStringLiteral("Our new office is close to the river."),
    QStringLiteral("He finished his essay just before midnight."),
    QStringLiteral("They have two cats and a very old dog."),
    QStringLiteral("The weather was lovely on Saturday."),
    QStringLiteral("Can you help me carry these boxes upstairs?"),
    QStringLiteral("I have already paid the invoice for March."),
    QStringLiteral("The train to Edinburgh was delayed by an hour."),
    QStringLiteral("We ordered pizza because nobody wanted to cook."),
    QStringLiteral("She asked whether the library opens on Sundays."),
    QStringLiteral("Tom and Anna are getting married in June."),
    QStringLiteral("This recipe needs three eggs and some flour."),
    QStringLiteral("Photosynthesis converts light into chemical energy."),
    QStringLiteral("The Treaty of Versailles ended the First World War."),
    QStringLiteral("Kowalski submitted the assignment on Moodle yesterday."),
    QStringLiteral("The results of the experiment surprised everyone."),
    QStringLiteral("If it rains, we will stay at home."),
    QStringLiteral("The students who passed the exam celebrated together."),
    QStringLiteral("My laptop stopped working after the update."),
    QStringLiteral("I would like a cup of tea, please."),
    QStringLiteral("He is taller than his father."),
    QStringLiteral("The museum is open from nine until five."),
    QStringLiteral("Social media has changed the way young people communicate."),
    QStringLiteral("In my opinion, homework should be optional for primary school pupils."),
    QStringLiteral("The Industrial Revolution transformed British towns in the nineteenth century."),
    QStringLiteral("Many researchers argue that sleep affects memory."),
    QStringLiteral("However, the evidence is not conclusive."),
    QStringLiteral("Firstly, renewable energy reduces carbon emissions."),
    QStringLiteral("The survey was completed by 250 participants."),
    QStringLiteral("According to Smith, the results were significant."),
    QStringLiteral("This essay will discuss the advantages and disadvantages of remote work."),
    QStringLiteral("The government introduced a new tax on sugary drinks."),
    QStringLiteral("Climate change is one of the biggest challenges of our time."),
    QStringLiteral("I'm not sure whether the shop is open today."),
    QStringLiteral("It's important to drink enough water."),
    QStringLiteral("We've decided to postpone the trip until spring."),
    QStringLiteral("The app uses machine learning to recommend songs."),
    QStringLiteral("Dr. Patel explained the procedure to the patient."),
    QStringLiteral("The COVID pandemic closed schools across Europe."),
    QStringLiteral("Our team won the match on penalties."),
    QStringLiteral("She bought a second-hand bike for her commute."),
    QStringLiteral("The Spelling panel shows suggestions for each word."),
    QStringLiteral("Click the Save button to keep your changes."),
    QStringLiteral("The invoice was sent to Brindleworks Ltd on Monday."),
    QStringLiteral("Each student must submit two essays per term."),
    QStringLiteral("Neither option seems ideal to me."),
    QStringLiteral("Write down three things you learned today."),
    QStringLiteral("The book, which was published in 1998, is still popular."),
    QStringLiteral("Although it was raining, we went for a walk."),
    QStringLiteral("There are fewer cars on the road at weekends."),
    QStringLiteral("The professor's lecture was recorded for students who missed it."),
    QStringLiteral("Emma's parents live near the coast."),
    QStringLiteral("The data suggests that prices will rise."),
    QStringLiteral("Wikipedia is not a reliable source for academic work."),
    QStringLiteral("Let me know if you need anything else."),
    QStringLiteral("Thanks for your help with the project."),
    QStringLiteral("I look forward to hearing from you."),
    QStringLiteral("Lunch will be served at noon."),
    QStringLiteral("The cat is sleeping on the sofa."),
    QStringLiteral("Remember to back up your files regularly."),
    QStringLiteral("Jenkins fixed the bug in the login page."),
    QStringLiteral("Our landlord finally repaired the boiler."),
    QStringLiteral("We deployed the service with kubernetes last week."),
    QStringLiteral("The blog post explains how to use webhooks."),
    QStringLiteral("My flatmate bought a new smartphone."),
    QStringLiteral("The vlogger posted a video about skincare."),
    QStringLiteral("Priya and Jaswinder organised the fundraiser."),
    QStringLiteral("The Zorblat committee approved the budget."),
    QStringLiteral("She uploaded the screenshots to the shared folder."),
    QStringLiteral("We need to refactor the codebase before the release."),
    QStringLiteral("The HiDPI screen makes the text look sharp."),
    QStringLiteral("I emailed the spreadsheet to my manager."),
    QStringLiteral("The podcast interviewed an epidemiologist."),
    QStringLiteral("Our startup raised funding from investors."),
    QStringLiteral("He is a lovely man."),
    QStringLiteral("The cake tastes delicious."),
    QStringLiteral("Where did you park the car?"),
    QStringLiteral("What time does the film start?"),
    QStringLiteral("How many people are coming to dinner?"),
    QStringLiteral("Don't forget your umbrella."),
    QStringLiteral("I can't find my keys anywhere."),
    QStringLiteral("Be careful on the stairs."),
    QStringLiteral("The shop sells fruit, vegetables and bread."),
    QStringLiteral("They couldn't agree on a date."),
    QStringLiteral("She speaks French, German and a little Italian."),
    QStringLiteral("We'll see you at the party on Saturday."),
    QStringLiteral("The bus was full, so I walked home."),
    QStringLiteral("Good morning, everyone."),
    QStringLiteral("Thank you for coming."),
    QStringLiteral("The new manager starts on Monday."),
    QStringLiteral("Sorry for the late reply."),
    QStringLiteral("Happy birthday to you."),
};
// Plain slips of agreement between subject and verb.
const QStringList kTuningSlips = {
    QStringLiteral("He go to school every day."),
    QStringLiteral("She don't like coffee."),
    QStringLiteral("They was late for the meeting."),
    QStringLiteral("The dogs barks at night."),
    QStringLiteral("My sister have a new car."),
    QStringLiteral("We is going to the park."),
    QStringLiteral("The report were finished yesterday."),
    QStringLiteral("He have finished his homework."),
    QStringLiteral("The children is playing outside."),
    QStringLiteral("It are a beautiful day."),
    QStringLiteral("The students was tired after the exam."),
    QStringLiteral("My parents lives in a small village."),
    QStringLiteral("She have two brothers."),
    QStringLiteral("The book are on the table."),
    QStringLiteral("He don't know the answer."),
    QStringLiteral("These apples is very sweet."),
    QStringLiteral("The teacher give us homework every day."),
    QStringLiteral("Our neighbours has a big garden."),
    QStringLiteral("I has a question about the invoice."),
    QStringLiteral("The cars was parked outside."),
    QStringLiteral("Everyone are welcome at the party."),
    QStringLiteral("The list of names are on the desk."),
};
const QStringList kTuningCorrectToo = {
    QStringLiteral("My grandmother grew up on a farm in Yorkshire."),
    QStringLiteral("The bakery on the corner sells the best croissants in town."),
    QStringLiteral("Could you pick up the kids from school today?"),
    QStringLiteral("We spent the weekend painting the spare bedroom."),
    QStringLiteral("The final exam covers chapters four to nine."),
    QStringLiteral("Marcus forgot his passport at the hotel in Lisbon."),
    QStringLiteral("I usually take the bus to work when it rains."),
    QStringLiteral("The heating engineer is coming on Thursday morning."),
    QStringLiteral("Most of the volunteers were students from the university."),
    QStringLiteral("She has been learning Spanish since January."),
    QStringLiteral("The dentist said my teeth are in good shape."),
    QStringLiteral("Our flight leaves Heathrow at half past six."),
    QStringLiteral("He reads the newspaper every morning over breakfast."),
    QStringLiteral("The committee will publish its findings next month."),
    QStringLiteral("I've never seen such a beautiful sunset."),
    QStringLiteral("There is a small café next to the post office."),
    QStringLiteral("Please put the leftovers in the fridge."),
    QStringLiteral("The Renaissance began in Italy in the fourteenth century."),
    QStringLiteral("My phone battery dies before lunch every day."),
    QStringLiteral("The company hired twelve new engineers this year."),
    QStringLiteral("We're planning a surprise party for Olivia."),
    QStringLiteral("The river flooded after three days of heavy rain."),
    QStringLiteral("Her presentation on renewable energy impressed the judges."),
    QStringLiteral("The kettle is broken, so I boiled water in a pan."),
    QStringLiteral("Nobody knew where the keys had gone."),
    QStringLiteral("The garden looks lovely in the spring."),
    QStringLiteral("Ahmed cycles to the office whenever the weather is good."),
    QStringLiteral("Fill in the form and hand it to the receptionist."),
    QStringLiteral("The novel tells the story of a family in Dublin."),
    QStringLiteral("I need to renew my library card before Friday."),
    QStringLiteral("The price of petrol has gone up again."),
    QStringLiteral("Our teacher gave us an extra week to finish the project."),
    QStringLiteral("The puppy chewed one of my slippers."),
    QStringLiteral("Let's meet outside the cinema at eight."),
    QStringLiteral("The hospital opened a new children's ward last year."),
    QStringLiteral("See you next week."),
    QStringLiteral("Many people prefer to shop online nowadays."),
    QStringLiteral("The lecture was cancelled because the professor was ill."),
    QStringLiteral("They moved to Bristol when their daughter was born."),
    QStringLiteral("Water boils at one hundred degrees Celsius."),
};
const QStringList kTuningSlipsToo = {
    QStringLiteral("My brother play football every Saturday."),
    QStringLiteral("The flowers needs more water."),
    QStringLiteral("She were at the library all afternoon."),
    QStringLiteral("The students has finished their exams."),
    QStringLiteral("He like chocolate cake."),
    QStringLiteral("Those shoes is too small for me."),
    QStringLiteral("The manager want to see you now."),
    QStringLiteral("We was waiting for the bus."),
    QStringLiteral("My friends lives in Glasgow."),
    QStringLiteral("The door are open."),
};
const QStringList kTuningCorrectThree = {
    QStringLiteral("The plumber fixed the leak under the kitchen sink."),
    QStringLiteral("Jessica walks her dog along the canal every evening."),
    QStringLiteral("We bought a second-hand sofa from a neighbour."),
    QStringLiteral("The concert starts at half past seven."),
    QStringLiteral("My cousin is studying medicine in Leeds."),
    QStringLiteral("The printer in the office has run out of paper."),
    QStringLiteral("I left my umbrella on the train this morning."),
    QStringLiteral("The school trip to the museum was a great success."),
    QStringLiteral("Grandad planted tomatoes in the greenhouse."),
    QStringLiteral("Our neighbours are away on holiday until Sunday."),
    QStringLiteral("The council is building a new swimming pool."),
    QStringLiteral("I'll call you back after the meeting."),
    QStringLiteral("The instructions were printed on the back of the box."),
    QStringLiteral("Most shops in the village close early on Wednesdays."),
    QStringLiteral("The referee blew the whistle at the end of the match."),
    QStringLiteral("She wrote a letter to the editor of the local paper."),
    QStringLiteral("The soup needs a little more salt."),
    QStringLiteral("Can we reschedule the interview for next Tuesday?"),
    QStringLiteral("The baby slept through the night for the first time."),
    QStringLiteral("He has worked at the same bank for twenty years."),
    QStringLiteral("The lights went out during the storm."),
    QStringLiteral("We usually have pasta on Fridays."),
    QStringLiteral("The tour guide showed us around the castle."),
    QStringLiteral("Please turn off your phone during the performance."),
    QStringLiteral("The winner will receive a voucher for the bookshop."),
    QStringLiteral("Luca speaks Italian at home and English at school."),
    QStringLiteral("The roads were icy, so we drove slowly."),
    QStringLiteral("My neighbour lent me his ladder."),
    QStringLiteral("The bridge was closed for repairs last month."),
    QStringLiteral("Everybody enjoyed the picnic in the park."),
    QStringLiteral("The new timetable comes into effect in September."),
    QStringLiteral("Best wishes for the new year."),
    QStringLiteral("I can't remember where I parked the car."),
    QStringLiteral("The orchestra rehearses in the town hall."),
    QStringLiteral("Our internet connection keeps dropping."),
    QStringLiteral("The recipe calls for two cups of flour."),
    QStringLiteral("She finally passed her driving test."),
    QStringLiteral("The chemist on the high street closes at six."),
    QStringLiteral("They watched a documentary about penguins."),
    QStringLiteral("The deadline for applications is the end of March."),
};
const QStringList kTuningSlipsThree = {
    QStringLiteral("My daughter want a new bicycle."),
    QStringLiteral("The windows was dirty after the storm."),
    QStringLiteral("Her parents owns a small bakery."),
    QStringLiteral("The team are playing well this season and it have won every game."),
    QStringLiteral("This biscuits are delicious."),
    QStringLiteral("The kitten sleep on my bed."),
    QStringLiteral("Our car need new tyres."),
    QStringLiteral("The shops opens at nine."),
    QStringLiteral("He always forget his keys."),
    QStringLiteral("The trains was cancelled because of the snow."),
};
const QStringList kHeldOutCorrect = {
    QStringLiteral("The postman delivers our letters before ten."),
    QStringLiteral("My aunt makes the best apple pie in the family."),
    QStringLiteral("We hired a van to move the furniture."),
    QStringLiteral("The cinema was almost empty on Monday night."),
    QStringLiteral("Patrick and his wife run a small guest house in Cornwall."),
    QStringLiteral("I've booked a table for four at the Italian restaurant."),
    QStringLiteral("The essay must be no longer than two thousand words."),
    QStringLiteral("Several trees fell down during the gale."),
    QStringLiteral("She keeps her passport in a drawer in the study."),
    QStringLiteral("The boys were building a den in the woods."),
    QStringLiteral("Our landlady lives on the ground floor."),
    QStringLiteral("The library has extended its opening hours."),
    QStringLiteral("The vet says the cat needs an operation."),
    QStringLiteral("We walked along the beach until sunset."),
    QStringLiteral("Dinner is ready, so please wash your hands."),
    QStringLiteral("The bank charges a fee for international transfers."),
    QStringLiteral("His sister teaches maths at a secondary school."),
    QStringLiteral("The exhibition closes at the end of the month."),
    QStringLiteral("Could you water the plants while I'm away?"),
    QStringLiteral("The car wouldn't start this morning."),
    QStringLiteral("The students presented their research to the class."),
    QStringLiteral("Hundreds of people queued for tickets."),
    QStringLiteral("My flatmate always leaves dishes in the sink."),
    QStringLiteral("The doctor prescribed some antibiotics for the infection."),
    QStringLiteral("They spent a fortnight travelling around Scotland."),
    QStringLiteral("The wind blew the fence over."),
    QStringLiteral("I usually drink coffee without sugar."),
    QStringLiteral("The mayor opened the new playground on Saturday."),
    QStringLiteral("Nobody answered the phone at the office."),
    QStringLiteral("Our garden gets a lot of sun in the afternoon."),
    QStringLiteral("The football season starts in August."),
    QStringLiteral("We need to buy a birthday present for Noah."),
    QStringLiteral("The cake was too sweet for my taste."),
    QStringLiteral("The old mill has been turned into flats."),
    QStringLiteral("Thank you for the lovely flowers."),
    QStringLiteral("The taxi arrived ten minutes late."),
    QStringLiteral("She sings in a choir on Wednesday evenings."),
    QStringLiteral("The meeting ran over by half an hour."),
    QStringLiteral("Most of the guests had left by midnight."),
    QStringLiteral("I forgot to reply to your message yesterday."),
};
const QStringList kHeldOutSlips = {
    QStringLiteral("The postman deliver our letters before ten."),
    QStringLiteral("My uncles lives near the sea."),
    QStringLiteral("The children was excited about the trip."),
    QStringLiteral("She have a lot of homework tonight."),
    QStringLiteral("The bus drivers is on strike."),
    QStringLiteral("Our cat love sleeping in the sun."),
    QStringLiteral("The tickets costs twenty pounds each."),
    QStringLiteral("My grandparents was born in Ireland."),
    QStringLiteral("He don't eat meat."),
    QStringLiteral("The museum have a new exhibition."),
};

} // namespace

class GrammarTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!SpellChecker::shared().hasGrammar())
            QSKIP("no English grammar dictionary installed");
    }

    // What the checker says, and what it lets through.
    void verdict_data()
    {
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("problem"); // empty: no problem
        const QString prefix = QStringLiteral("Possible grammar problem: ");
        QTest::newRow("verb") << "He go to school every day." << prefix + "“go” may not agree with its subject; perhaps “goes”.";
        QTest::newRow("strained reading") << "The flowers needs more water."
                                          << prefix + "“needs” may not agree with its subject; perhaps “need”.";
        QTest::newRow("determiner") << "This biscuits are delicious."
                                    << prefix + "“This” may not agree with the noun after it; perhaps “These”.";
        QTest::newRow("pronoun and be") << "It are a beautiful day."
                                        << prefix + "“It are”: the verb may not agree with its subject.";
        QTest::newRow("question keeps the plain form") << "Does it have a garden?" << "";
        QTest::newRow("subjunctive") << "If it were up to me, we would stay at home." << "";
        QTest::newRow("fragment") << "Sorry for the late reply." << "";
        QTest::newRow("noun the grammar knows as a verb") << "She bought a second-hand bike for her commute." << "";
        QTest::newRow("unknown names") << "Zorblat Kwenty visited Quorvania last week." << "";
        QTest::newRow("unknown lower-case word") << "We deployed the service with kubernetes last week." << "";
        QTest::newRow("words that link to nothing") << "The of cat sat."
                                                    << prefix + "“of” does not fit with the words around it.";
    }
    void verdict()
    {
        QFETCH(QString, sentence);
        QFETCH(QString, problem);
        SpellChecker& checker = SpellChecker::shared();
        QCOMPARE(checker.grammarOK(sentence), problem.isEmpty());
        QCOMPARE(checker.grammarProblem(sentence), problem);
    }

    // At most one right sentence in forty flagged, nine slips in ten caught.
    void accuracy_data()
    {
        QTest::addColumn<QStringList>("correct");
        QTest::addColumn<QStringList>("slips");
        QTest::newRow("tuning") << kTuningCorrect << kTuningSlips;
        QTest::newRow("tuning too") << kTuningCorrectToo << kTuningSlipsToo;
        QTest::newRow("tuning three") << kTuningCorrectThree << kTuningSlipsThree;
        QTest::newRow("held out") << kHeldOutCorrect << kHeldOutSlips;
    }
    void accuracy()
    {
        QFETCH(QStringList, correct);
        QFETCH(QStringList, slips);
        SpellChecker& checker = SpellChecker::shared();
        QStringList flagged;
        for (const QString& s : correct) {
            if (!checker.grammarOK(s))
                flagged << s + QStringLiteral(" (") + checker.grammarProblem(s) + QLatin1Char(')');
        }
        QStringList missed;
        int caught = 0;
        for (const QString& s : slips) {
            if (checker.grammarOK(s))
                missed << s;
            else
                ++caught;
        }
        qInfo("%d of %d right sentences flagged: %s", int(flagged.size()), int(correct.size()),
              qPrintable(flagged.join(QStringLiteral(" | "))));
        qInfo("%d of %d slips caught; missed: %s", caught, int(slips.size()), qPrintable(missed.join(QStringLiteral(" | "))));
        QVERIFY2(flagged.size() * 40 <= correct.size(), qPrintable(flagged.join(QStringLiteral(" | "))));
        QVERIFY2(caught * 10 >= slips.size() * 9, qPrintable(missed.join(QStringLiteral(" | "))));
    }
    // A sentence underlined for its grammar says why, in the context menu
    // and in the panel, and can be ignored from either; in single-line
    // fields and in text editors alike.
    void grammarProblemIsExplained_data()
    {
        QTest::addColumn<bool>("field");
        QTest::addColumn<bool>("fromPanel");
        // A sentence of its own for each row: ignoring lasts the session.
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("problem");
        const QString prefix = QStringLiteral("Possible grammar problem: ");
        QTest::newRow("field, menu") << true << false << "Yes. The children is playing outside."
                                     << prefix + "“is” may not agree with its subject; perhaps “are”.";
        QTest::newRow("field, panel") << true << true << "Yes. The dogs is barking again."
                                      << prefix + "“is” may not agree with its subject; perhaps “are”.";
        QTest::newRow("editor, menu") << false << false << "Yes. My sister have a new car."
                                      << prefix + "“have” may not agree with its subject; perhaps “has”.";
        QTest::newRow("editor, panel") << false << true << "Yes. He go to school every day."
                                       << prefix + "“go” may not agree with its subject; perhaps “goes”.";
    }
    void grammarProblemIsExplained()
    {
        QFETCH(bool, field);
        QFETCH(bool, fromPanel);
        QFETCH(QString, sentence);
        QFETCH(QString, problem);
        const int at = 9; // in the second sentence
        SpellChecker& checker = SpellChecker::shared();
        QVERIFY(!checker.grammarOK(sentence.mid(5)));
        QCOMPARE(checker.grammarProblem(sentence.mid(5)), problem);

        SpellLineEdit line(sentence);
        QPlainTextEdit edit(sentence);
        TextChecker* checkerOfEdit = TextChecker::attach(&edit);
        SpellingTarget* target = field ? static_cast<SpellingTarget*>(line.spelling()) : checkerOfEdit;
        std::unique_ptr<QMenu> menu(field ? line.spelling()->contextMenu(at)
                                          : checkerOfEdit->contextMenu([&] {
                                                QTextCursor c(edit.document());
                                                c.setPosition(at);
                                                return c;
                                            }()));
        QAction* ignore = nullptr;
        QStringList titles;
        for (QAction* a : menu->actions()) {
            titles << a->text();
            if (a->text() == QStringLiteral("Ignore"))
                ignore = a;
        }
        QVERIFY2(titles.contains(problem), qPrintable(titles.join(QLatin1Char('|'))));
        QVERIFY(ignore);
        // Nothing for the sentence before it, which is fine.
        std::unique_ptr<QMenu> elsewhere(field ? line.spelling()->contextMenu(1) : nullptr);
        if (elsewhere) {
            for (QAction* a : elsewhere->actions())
                QVERIFY(a->text() != problem);
        }
        if (fromPanel) {
            target->checkSpelling(); // selects the sentence
            QCOMPARE(target->selectedText(), sentence.mid(5));
            SpellingPanel* panel = SpellingPanel::show(target);
            QCOMPARE(panel->grammarProblem(), problem);
            QVERIFY(panel->word().isEmpty());
            panel->ignore();
            panel->close();
        } else {
            ignore->trigger();
        }
        QVERIFY(checker.grammarOK(sentence.mid(5)));
        QVERIFY(checker.grammarProblem(sentence.mid(5)).isEmpty());
    }
};

QTEST_MAIN(GrammarTest)
#include "tst_grammar.moc"
