// The open album: its fields and their rules, the album-wide edits and navigation.
#include "album/Album.h"

#include "album/AutosaveTimer.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QScopeGuard>
#include <algorithm>

namespace album {

namespace {

constexpr int kRightsMaximum = 100;

bool isDescription(Shown field)
{
    return field == Shown::AlbumDescription || field == Shown::Description;
}

}  // namespace

Album::Album()
{
    Timer1.start(60000);  // running every minute until the settings set its interval and stop it
    connect(&Timer1, &QTimer::timeout, this, platform::endingAtItsEdge([this] { Timer1Timer(); }));
    shown_[std::size_t(Shown::AlbumRights)] = QStringLiteral("0");
    shown_[std::size_t(Shown::PhotoRights)] = QStringLiteral("0");
    // The start of the program: no album, the rights reset.
    state_.CurrentRow = 0;
    ResetRights();
}

Album::~Album() = default;

void Album::settingsLoaded()
{
    setAutosaveMinutes(Timer1, state_.AutoSaveMinutes);
    Timer1.stop();
}

QString Album::photoPath(int row) const
{
    return platform::joinPath(state_.AlbumDir, StringGrid1.Get(Field::FileName, row));
}

int Album::albumRights() const
{
    int value = 0;
    return platform::tryStrToInt(shown(Shown::AlbumRights), value) ? value : 0;
}

int Album::photoRights() const
{
    int value = 0;
    return platform::tryStrToInt(shown(Shown::PhotoRights), value) ? value : photoRightsMin_;
}

AlbumHeader Album::header() const
{
    return {shown(Shown::AlbumName), shown(Shown::AlbumDate), shown(Shown::AlbumDescription), albumRights()};
}

// ---- Fields and their rules ---------------------------------------------------------------

void Album::setShown(Shown field, const QString& text)
{
    QString& now = shown_[std::size_t(field)];
    if (now == text)
        return;
    now = text;
    emit shownChanged(field);
    runRule(field);
}

void Album::fill(Shown field, const QString& text)
{
    if (shown(field) == text)
        return;
    shown_[std::size_t(field)] = text;
    // A view that shows the text otherwise has handed its own text back by now, and its rule ran.
    emit shownChanged(field);
    if (shown(field) != text)
        return;
    if (isDescription(field)) {
        runRule(field);  // its error ends the sequence that filled it
        return;
    }
    try {
        runRule(field);
    } catch (const std::exception& e) {
        platform::reportError(e);  // ends only the rule
    }
}

void Album::fillRights(Shown field, int value)
{
    // A rights field brings a number into its limits; no limit holds while they are equal.
    const int minimum = field == Shown::PhotoRights ? photoRightsMin_ : 0;
    if (minimum != kRightsMaximum)
        value = std::clamp(value, minimum, kRightsMaximum);
    fill(field, QString::number(value));
}

void Album::runRule(Shown field)
{
    const int row = state_.CurrentRow;
    switch (field) {
    case Shown::AlbumName:
    case Shown::AlbumDescription:
        MarkModified();
        break;
    case Shown::AlbumDate:
        albumDateChanged();
        break;
    case Shown::AlbumRights:
        albumRightsChanged();
        break;
    case Shown::Title:
        set(Field::Title, row, shown(field));
        MarkModified();
        break;
    case Shown::Name:
        set(Field::Name, row, shown(field));
        MarkModified();
        break;
    case Shown::Date:
        set(Field::Date, row, shown(field));
        MarkModified();
        break;
    case Shown::Description:
        set(Field::Description, row, shown(field));
        MarkModified();
        break;
    case Shown::PhotoRights:
        if (!state_.RightsCascade)
            set(Field::Rights, row, QString::number(photoRights()));
        break;
    }
}

void Album::set(Field field, int row, const QString& value)
{
    if (field == Field::Title && state_.AlbumOpen) {
        const bool was = !StringGrid1.Get(Field::Title, row).isEmpty();
        titled_ += int(!value.isEmpty()) - int(was);
    }
    StringGrid1.Set(field, row, value);
    emit captionChanged(row, field);
}

void Album::countTitles()
{
    titled_ = 0;
    if (state_.AlbumOpen)
        for (int r = 0; r < StringGrid1.RowCount(); ++r)
            titled_ += !StringGrid1.Get(Field::Title, r).isEmpty();
}

void Album::MarkModified()
{
    if (!state_.AlbumOpen)
        return;
    setModified(true);
    setSaveOffers(true, true);
}

void Album::setModified(bool modified)
{
    const bool changes = state_.Modified != modified;
    state_.Modified = modified;
    if (changes)
        emit modifiedChanged(modified);
}

void Album::setSaveOffers(bool save, bool saveAs)
{
    if (saveOffered_ == save && saveAsOffered_ == saveAs)
        return;
    saveOffered_ = save;
    saveAsOffered_ = saveAs;
    emit saveOffersChanged();
}

void Album::ResetRights()
{
    setRightsSwitchedOn(false);
    fillRights(Shown::AlbumRights, 0);
    photoRightsMin_ = 0;
    emit shownChanged(Shown::PhotoRights);  // its minimum
    fillRights(Shown::PhotoRights, 0);
    rightsEnabled_ = false;
    emit switchesChanged();
}

void Album::albumDateChanged()
{
    MarkModified();
    if (!datesBound_)
        return;
    const QString date = shown(Shown::AlbumDate);
    for (int r = 0; r < StringGrid1.RowCount(); ++r)
        StringGrid1.Set(Field::Date, r, date);
    emit captionChanged(-1, Field::Date);
    fill(Shown::Date, date);
}

void Album::albumRightsChanged()
{
    // The album's right is a floor for every photo's right. The photo rights field stores
    // nothing into the current row meanwhile, however the cascade ends.
    state_.RightsCascade = true;
    const auto cascadeEnds = qScopeGuard([this] { state_.RightsCascade = false; });
    const int rights = albumRights();
    photoRightsMin_ = rights;
    emit shownChanged(Shown::PhotoRights);
    fillRights(Shown::PhotoRights, rights);
    if (!state_.AlbumOpen)
        return;
    const QString raised = QString::number(photoRights());
    const auto changed = qScopeGuard([this] { emit captionChanged(-1, Field::Rights); });
    for (int r = 0; r < StringGrid1.RowCount(); ++r)
        if (platform::strToInt(StringGrid1.Get(Field::Rights, r)) <= rights)
            StringGrid1.Set(Field::Rights, r, raised);
}

void Album::setDatesBound(bool bound)
{
    if (datesBound_ == bound)
        return;
    datesBound_ = bound;
    emit switchesChanged();
    const int rows = StringGrid1.RowCount();
    // Dates the box changes are changed captions like typed ones: Save must be offered for them,
    // and closing must ask, whichever photo is shown.
    bool changed = false;
    const auto setDate = [&](int r, const QString& date) {
        changed = changed || StringGrid1.Get(Field::Date, r) != date;
        StringGrid1.Set(Field::Date, r, date);
    };
    if (bound) {
        for (int r = 0; r < rows; ++r)
            StringGrid1.Set(Field::DateBackup, r, StringGrid1.Get(Field::Date, r));
        datesBackedUp_ = true;
        const QString date = shown(Shown::AlbumDate);
        for (int r = 0; r < rows; ++r)
            setDate(r, date);
    } else {
        // Photos opened while the box was ticked have no earlier date: they keep the one they have.
        if (datesBackedUp_)
            for (int r = 0; r < rows; ++r)
                setDate(r, StringGrid1.Get(Field::DateBackup, r));
        datesBackedUp_ = false;
    }
    if (changed) {
        emit captionChanged(-1, Field::Date);
        MarkModified();
    }
    ShowPhotoFields(state_.CurrentRow);
}

void Album::setRightsSwitchedOn(bool on)
{
    if (rightsOn_ == on)
        return;
    rightsOn_ = on;
    emit switchesChanged();
    if (!on)
        return;
    rightsEnabled_ = true;
    emit switchesChanged();
    MarkModified();
}

void Album::setCaption(int row, Field field, const QString& text)
{
    applyCaptions({{row, field, text}});
}

void Album::setDates(const std::vector<std::pair<int, QString>>& dates)
{
    std::vector<CaptionEdit> edits;
    edits.reserve(dates.size());
    for (const auto& [row, date] : dates)
        edits.push_back({row, Field::Date, date});
    applyCaptions(edits);
}

void Album::setCaptions(const std::vector<CaptionEdit>& edits)
{
    if (!state_.AlbumOpen || edits.empty())
        return;
    std::vector<CaptionEdit> before = applyCaptions(edits);
    undo_.push_back({edits, std::move(before)});
    emit undoChanged();
}

void Album::undoCaptions()
{
    if (undo_.empty())
        return;
    const UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    std::vector<CaptionEdit> back;
    for (std::size_t i = 0; i < step.set.size(); ++i)
        if (StringGrid1.Get(step.set[i].field, step.set[i].row) == step.set[i].text)
            back.push_back(step.before[i]);
    applyCaptions(back);
    emit undoChanged();
}

std::vector<Album::CaptionEdit> Album::applyCaptions(const std::vector<CaptionEdit>& edits)
{
    std::vector<CaptionEdit> before;
    before.reserve(edits.size());
    for (const CaptionEdit& edit : edits) {
        before.push_back({edit.row, edit.field, StringGrid1.Get(edit.field, edit.row)});
        set(edit.field, edit.row, edit.text);
    }
    if (edits.empty())
        return before;
    MarkModified();
    ShowPhotoFields(state_.CurrentRow);
    return before;
}

void Album::forgetUndo()
{
    if (undo_.empty())
        return;
    undo_.clear();
    emit undoChanged();
}

void Album::ShowPhotoFields(int row)
{
    if (!state_.AlbumOpen)
        return;
    fill(Shown::Title, StringGrid1.Get(Field::Title, row));
    fill(Shown::Name, StringGrid1.Get(Field::Name, row));
    fill(Shown::Date, StringGrid1.Get(Field::Date, row));
    fill(Shown::Description, StringGrid1.Get(Field::Description, row));
    fillRights(Shown::PhotoRights, platform::strToInt(StringGrid1.Get(Field::Rights, row)));
}

// ---- Navigation ---------------------------------------------------------------------------

void Album::showCurrentRow(bool withPhoto)
{
    // Whatever fails, the counter, the navigation and the fields show the current row before the
    // first error is thrown, so an edit is never stored into a row other than the one shown.
    std::exception_ptr failure;
    if (withPhoto && view_) {
        try {
            view_->ShowPhoto(state_.CurrentRow);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    emit rowShown(state_.CurrentRow);
    try {
        ShowPhotoFields(state_.CurrentRow);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void Album::first()
{
    state_.CurrentRow = 0;
    showCurrentRow(true);
}

void Album::previous()
{
    const bool moves = state_.CurrentRow > 0;
    if (moves)
        --state_.CurrentRow;
    showCurrentRow(moves);
}

void Album::next()
{
    const bool moves = state_.CurrentRow + 1 < StringGrid1.RowCount();
    if (moves)
        ++state_.CurrentRow;
    showCurrentRow(moves);
}

void Album::last()
{
    state_.CurrentRow = StringGrid1.RowCount() - 1;
    showCurrentRow(true);
}

void Album::jump(int number)
{
    // A number outside the album (typed with Enter, or left from a larger album) jumps to the
    // nearest photo.
    goToRow(std::clamp(number - 1, 0, StringGrid1.RowCount() - 1));
}

void Album::goToRow(int row)
{
    state_.CurrentRow = row;
    showCurrentRow(true);
}

}  // namespace album
