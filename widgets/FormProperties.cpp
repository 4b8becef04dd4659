#include "widgets/FormProperties.hpp"

#include <cmath>
#include <map>

#include "widgets/Button.hpp"
#include "widgets/CheckBox.hpp"
#include "widgets/ChildWindow.hpp"
#include "widgets/EditBox.hpp"
#include "widgets/FormError.hpp"
#include "widgets/FormValueReader.hpp"
#include "widgets/Group.hpp"
#include "widgets/Label.hpp"
#include "widgets/ListBox.hpp"
#include "widgets/Panel.hpp"
#include "widgets/Picture.hpp"
#include "widgets/RadioButton.hpp"
#include "widgets/Slider.hpp"

namespace widgets::formProperties {

namespace {
// The knownValidators as the form writes them: regular expressions of the texts
// accepted. Only these are understood; see EditBox::Validator.
const std::vector<std::pair<std::string, EditBox::Validator>>& knownValidators() {
    static const std::vector<std::pair<std::string, EditBox::Validator>> known = {
        {"", EditBox::Validator::Any},
        {".*", EditBox::Validator::Any},
        {"[+-]?[0-9]*", EditBox::Validator::Integer},
        {"[-+]?[0-9]*", EditBox::Validator::Integer},
        {"[0-9]*", EditBox::Validator::UnsignedInteger},
        {"[+-]?[0-9]*\\.?[0-9]*", EditBox::Validator::Decimal},
        {"[-+]?[0-9]*\\.?[0-9]*", EditBox::Validator::Decimal},
        {"[0-9A-Za-z.-]*(:[0-9]{0,5})?", EditBox::Validator::AddressPort},
    };
    return known;
}

// A whole number from 0 to `maximum`.
size_t wholeNumber(FormValueReader& reader, const FormProperty& property, const std::string& file,
                   float maximum) {
    const float value = reader.number();
    if (!(value >= 0.0f && value <= maximum) || value != std::floor(value)) {
        throw FormError(file, property.line,
                        "expected a whole number from 0 to " + std::to_string(static_cast<long>(maximum)) +
                            " for '" + property.key + "'");
    }
    return static_cast<size_t>(value);
}

bool applyText(const std::string& key, FormValueReader& reader,
               const std::function<void(std::string)>& setText,
               const std::function<void(unsigned int)>& setSize) {
    if (key == "Text") {
        setText(reader.string());
    } else if (key == "TextSize") {
        setSize(reader.textSize());
    } else {
        return false;
    }
    return true;
}

bool applyCheckBox(CheckBox& box, const FormProperty& property, FormValueReader& reader, Deferred& deferred) {
    if (property.key == "Checked") {
        // After the block: a radio button unchecks the others only once they exist.
        const bool checked = reader.boolean();
        deferred.add(0, [&box, checked] { box.setChecked(checked); });
        return true;
    }
    return applyText(
        property.key, reader, [&](std::string text) { box.setText(text); },
        [&](unsigned int size) { box.setTextSize(size); });
}

bool applyEditBox(EditBox& box, const FormProperty& property, FormValueReader& reader, Deferred& deferred,
                  const std::string& file, std::string& skipped) {
    const std::string& key = property.key;
    if (key == "Text") {
        const std::string text = reader.string();
        // Last, when the limit and the validator are known.
        deferred.add(0, [&box, text] { box.setText(text); });
    } else if (key == "DefaultText") {
        box.setDefaultText(reader.string());
    } else if (key == "TextSize") {
        box.setTextSize(reader.textSize());
    } else if (key == "MaximumCharacters") {
        box.setMaximumCharacters(wholeNumber(reader, property, file, 100000.0f));
    } else if (key == "ReadOnly") {
        box.setReadOnly(reader.boolean());
    } else if (key == "InputValidator") {
        const std::string pattern = reader.string();
        for (const auto& [written, validator] : knownValidators()) {
            if (written == pattern) {
                box.setValidator(validator);
                return true;
            }
        }
        skipped = "validator \"" + pattern +
                  "\" is not one we know (\"[+-]?[0-9]*\", \"[0-9]*\", \"[+-]?[0-9]*\\.?[0-9]*\", "
                  "\"[0-9A-Za-z.-]*(:[0-9]{0,5})?\"); any text is accepted";
    } else {
        return false;
    }
    return true;
}

bool applyListBox(ListBox& list, const FormProperty& property, FormValueReader& reader, Deferred& deferred,
                  const std::string& file) {
    const std::string& key = property.key;
    if (key == "Items") {
        list.setItems(reader.list());
    } else if (key == "ItemHeight") {
        list.setItemHeight(static_cast<float>(wholeNumber(reader, property, file, 1000.0f)));
    } else if (key == "TextSize") {
        list.setTextSize(reader.textSize());
    } else if (key == "SelectedItemIndex") {
        const float index = reader.number();
        deferred.add(0, [&list, index] {
            list.setSelectedItemIndex(static_cast<int>(std::max(-1.0f, std::min(index, 1.0e6f))));
        });
    } else {
        return false;
    }
    return true;
}

bool applyChildWindow(ChildWindow& window, const FormProperty& property, FormValueReader& reader) {
    const std::string& key = property.key;
    if (key == "Title") {
        window.setTitle(reader.string());
    } else if (key == "TitleTextSize") {
        window.setTitleTextSize(reader.textSize());
    } else if (key == "TitleAlignment") {
        window.setTitleAlignment(
            static_cast<ChildWindow::Alignment>(reader.choice({"Left", "Center", "Right"})));
    } else if (key == "TitleButtons") {
        window.setCloseButton(reader.wordsInclude("Close"));
    } else {
        return false;
    }
    return true;
}

bool applySlider(Slider& slider, const FormProperty& property, FormValueReader& reader, Deferred& deferred) {
    // Range first whatever the order in the block, so that the value is not
    // clamped by a range given after it.
    const std::string& key = property.key;
    if (key != "Minimum" && key != "Maximum" && key != "Step" && key != "Value") {
        return false;
    }
    const float value = reader.number();
    if (key == "Minimum") {
        deferred.add(0, [&slider, value] { slider.setMinimum(value); });
    } else if (key == "Maximum") {
        deferred.add(1, [&slider, value] { slider.setMaximum(value); });
    } else if (key == "Step") {
        deferred.add(2, [&slider, value] { slider.setStep(value); });
    } else {
        deferred.add(3, [&slider, value] { slider.setValue(value); });
    }
    return true;
}
} // namespace

std::shared_ptr<Widget> createWidget(const std::string& type) {
    using Creator = std::shared_ptr<Widget> (*)();
    static const std::map<std::string, Creator> creators = {
        {"Group", [] { return std::shared_ptr<Widget>(Group::create()); }},
        {"Panel", [] { return std::shared_ptr<Widget>(Panel::create()); }},
        {"ChildWindow", [] { return std::shared_ptr<Widget>(ChildWindow::create()); }},
        {"Button", [] { return std::shared_ptr<Widget>(Button::create()); }},
        {"Slider", [] { return std::shared_ptr<Widget>(Slider::create()); }},
        {"Picture", [] { return std::shared_ptr<Widget>(Picture::create()); }},
        {"Label", [] { return std::shared_ptr<Widget>(Label::create()); }},
        {"EditBox", [] { return std::shared_ptr<Widget>(EditBox::create()); }},
        {"CheckBox", [] { return std::shared_ptr<Widget>(CheckBox::create()); }},
        {"RadioButton", [] { return std::shared_ptr<Widget>(RadioButton::create()); }},
        {"ListBox", [] { return std::shared_ptr<Widget>(ListBox::create()); }},
    };
    const auto found = creators.find(type);
    return found == creators.end() ? nullptr : found->second();
}

bool applyProperty(Widget& widget, const FormProperty& property, FormValueReader& reader, Deferred& deferred,
                   std::string& skipped) {
    const std::string& key = property.key;
    const std::string& file = reader.fileName();
    if (key == "Position") {
        widget.setPosition(reader.layout());
    } else if (key == "Size") {
        widget.setSize(reader.layout());
    } else if (key == "Visible") {
        widget.setVisible(reader.boolean());
    } else if (key == "Enabled") {
        widget.setEnabled(reader.boolean());
    } else if (key == "FocusOrder") {
        // Where reading order is wrong: lower numbers take the focus first.
        widget.focusOrder = reader.order();
    } else if (auto* button = dynamic_cast<Button*>(&widget)) {
        return applyText(
            key, reader, [button](std::string text) { button->setText(text); },
            [button](unsigned int size) { button->setTextSize(size); });
    } else if (auto* label = dynamic_cast<Label*>(&widget)) {
        if (key == "HorizontalAlignment") {
            label->setHorizontalAlignment(
                static_cast<Label::Alignment>(reader.choice({"Left", "Center", "Right"})));
            return true;
        }
        return applyText(
            key, reader, [label](std::string text) { label->setText(text); },
            [label](unsigned int size) { label->setTextSize(size); });
    } else if (auto* slider = dynamic_cast<Slider*>(&widget)) {
        return applySlider(*slider, property, reader, deferred);
    } else if (auto* checkBox = dynamic_cast<CheckBox*>(&widget)) {
        return applyCheckBox(*checkBox, property, reader, deferred);
    } else if (auto* editBox = dynamic_cast<EditBox*>(&widget)) {
        return applyEditBox(*editBox, property, reader, deferred, file, skipped);
    } else if (auto* list = dynamic_cast<ListBox*>(&widget)) {
        return applyListBox(*list, property, reader, deferred, file);
    } else if (auto* window = dynamic_cast<ChildWindow*>(&widget)) {
        return applyChildWindow(*window, property, reader);
    } else {
        return false;
    }
    return true;
}

RendererFields rendererFields(Widget& widget) {
    RendererFields f;
    if (auto* button = dynamic_cast<Button*>(&widget)) {
        Button::Renderer& r = button->renderer;
        f.colours = {{"TextColor", &r.textColor},
                     {"TextColorHover", &r.textColorHover},
                     {"TextColorDown", &r.textColorDown},
                     {"TextColorDisabled", &r.textColorDisabled},
                     {"BackgroundColor", &r.backgroundColor},
                     {"BackgroundColorHover", &r.backgroundColorHover},
                     {"BackgroundColorDown", &r.backgroundColorDown},
                     {"BackgroundColorDisabled", &r.backgroundColorDisabled},
                     {"BorderColor", &r.borderColor},
                     {"BorderColorHover", &r.borderColorHover},
                     {"BorderColorDown", &r.borderColorDown}};
        f.textures = {{"Texture", &r.texture},
                      {"TextureHover", &r.textureHover},
                      {"TextureDown", &r.textureDown},
                      {"TextureDisabled", &r.textureDisabled}};
        f.borders = {{"Borders", &r.borders}};
        f.textStyles = {{"TextStyle", &r.textStyle}};
    } else if (auto* slider = dynamic_cast<Slider*>(&widget)) {
        Slider::Renderer& r = slider->renderer;
        f.colours = {{"TrackColor", &r.trackColor},
                     {"TrackColorHover", &r.trackColorHover},
                     {"ThumbColor", &r.thumbColor},
                     {"ThumbColorHover", &r.thumbColorHover},
                     {"BorderColor", &r.borderColor}};
        f.borders = {{"Borders", &r.borders}};
    } else if (auto* label = dynamic_cast<Label*>(&widget)) {
        f.colours = {{"TextColor", &label->renderer.textColor},
                     {"BackgroundColor", &label->renderer.backgroundColor}};
        f.textStyles = {{"TextStyle", &label->renderer.textStyle}};
    } else if (auto* picture = dynamic_cast<Picture*>(&widget)) {
        f.textures = {{"Texture", &picture->renderer.texture}};
    } else if (auto* checkBox = dynamic_cast<CheckBox*>(&widget)) {
        CheckBox::Renderer& r = checkBox->renderer;
        f.colours = {{"TextColor", &r.textColor},
                     {"TextColorHover", &r.textColorHover},
                     {"TextColorDisabled", &r.textColorDisabled},
                     {"BackgroundColor", &r.backgroundColor},
                     {"BackgroundColorHover", &r.backgroundColorHover},
                     {"BackgroundColorDisabled", &r.backgroundColorDisabled},
                     {"BorderColor", &r.borderColor},
                     {"BorderColorHover", &r.borderColorHover},
                     {"BorderColorFocused", &r.borderColorFocused},
                     {"CheckColor", &r.checkColor},
                     {"CheckColorHover", &r.checkColorHover},
                     {"CheckColorDisabled", &r.checkColorDisabled}};
        f.borders = {{"Borders", &r.borders}};
        f.numbers = {{"TextDistanceRatio", &r.textDistanceRatio}};
        f.textStyles = {{"TextStyle", &r.textStyle}};
    } else if (auto* editBox = dynamic_cast<EditBox*>(&widget)) {
        EditBox::Renderer& r = editBox->renderer;
        f.colours = {{"TextColor", &r.textColor},
                     {"TextColorDisabled", &r.textColorDisabled},
                     {"DefaultTextColor", &r.defaultTextColor},
                     {"SelectedTextColor", &r.selectedTextColor},
                     {"SelectedTextBackgroundColor", &r.selectedTextBackgroundColor},
                     {"BackgroundColor", &r.backgroundColor},
                     {"BackgroundColorHover", &r.backgroundColorHover},
                     {"BackgroundColorDisabled", &r.backgroundColorDisabled},
                     {"BackgroundColorFocused", &r.backgroundColorFocused},
                     {"BorderColor", &r.borderColor},
                     {"BorderColorHover", &r.borderColorHover},
                     {"BorderColorDisabled", &r.borderColorDisabled},
                     {"BorderColorFocused", &r.borderColorFocused},
                     {"CaretColor", &r.caretColor}};
        f.borders = {{"Borders", &r.borders}, {"Padding", &r.padding}};
        f.numbers = {{"CaretWidth", &r.caretWidth}};
    } else if (auto* list = dynamic_cast<ListBox*>(&widget)) {
        ListBox::Renderer& r = list->renderer;
        f.colours = {{"BackgroundColor", &r.backgroundColor},
                     {"BackgroundColorHover", &r.backgroundColorHover},
                     {"SelectedBackgroundColor", &r.selectedBackgroundColor},
                     {"SelectedBackgroundColorHover", &r.selectedBackgroundColorHover},
                     {"TextColor", &r.textColor},
                     {"TextColorHover", &r.textColorHover},
                     {"SelectedTextColor", &r.selectedTextColor},
                     {"BorderColor", &r.borderColor},
                     {"ScrollbarColor", &r.scrollbarColor}};
        f.borders = {{"Borders", &r.borders}, {"Padding", &r.padding}};
        f.textStyles = {{"TextStyle", &r.textStyle}};
    } else if (auto* panel = dynamic_cast<Panel*>(&widget)) {
        Panel::Renderer& r = panel->renderer;
        f.colours = {{"BackgroundColor", &r.backgroundColor}, {"BorderColor", &r.borderColor}};
        f.borders = {{"Borders", &r.borders}};
        f.textures = {{"TextureBackground", &r.textureBackground}};
        if (auto* window = dynamic_cast<ChildWindow*>(&widget)) {
            f.colours.push_back({"TitleBarColor", &window->titleRenderer.titleBarColor});
            f.colours.push_back({"TitleColor", &window->titleRenderer.titleColor});
            f.numbers = {{"TitleBarHeight", &window->titleRenderer.titleBarHeight}};
        }
    }
    return f;
}

} // namespace widgets::formProperties
