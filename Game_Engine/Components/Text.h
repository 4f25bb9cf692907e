// Text: a line of text drawn by the FreeType system at its entity's position, in pixels from the
// bottom-left corner of a 1920x1080 window; drawing scales position and size to the real window.
// The position and rotation are copies of the Transform (not saved).
#pragma once

#include "CoreEngine/Math.h"
#include "Factory/Component.h"

#include <memory>
#include <string>

namespace OrvEngine {

class Text : public Component {
public:
    Text() : Component("Text") {}
    bool Serialize(JsonWriter& writer) override;
    // Missing or mistyped keys keep the defaults.
    void Deserialize(const rapidjson::Value& value) override;
    void Init() override { Update(); }
    // Copies the Transform's position and rotation.
    void Update() override;
    std::shared_ptr<Component> Clone() override { return std::make_shared<Text>(*this); }

    void SetText(const std::string& value) { textToPrint = value; }
    const std::string& GetText() const { return textToPrint; }
    void SetTextSize(float value) { textSize = value; }
    float GetTextSize() const { return textSize; }
    void SetColor(const Vec3& value) { color = value; }
    Vec3 GetColor() const { return color; }
    // The button code's spelling.
    void SetColour(const Vec3& value) { color = value; }
    Vec3 GetColour() const { return color; }

    Vec3 position;
    float textSize = 0.001f; // scale of the 48-pixel glyphs in a 1920x1080 window
    std::string textToPrint;
    Vec3 color;              // r, g, b
    float rotation = 0.0f;   // copied, not used for drawing
    bool hidden = false;
};

} // namespace OrvEngine
