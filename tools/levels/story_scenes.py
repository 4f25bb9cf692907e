#!/usr/bin/env python3
"""Writes the tutorial level (GameScene_22), the chapter card (SplashScene_07) and the epilogue
(GameScene_24) into Resources/Data, then puts the pause block into the tutorial after its camera.

    story_scenes.py [--data DIR]

The scene files are the game's data; this script is how they were laid out. Re-run it after
changing a position here rather than editing both. Components are written in ascending type-id
order and entities in the order the game needs them made (camera, player, level manager, the
rest, health bars last).
"""
import argparse
import json
import os
import sys
from collections import OrderedDict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import insert_block  # noqa: E402

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# Tutorial layout (world units). The walking band is high on the screen so that characters stand
# above the dialogue box, which covers y -4.25..-1.75 around the camera.
PLAYER_START = (-4.0, -0.8)
WALK_TOP, WALK_BOTTOM = -0.6, -2.0  # edges the player's feet box stays between
LEFT_WALL, RIGHT_WALL = -8.0, 28.0
TRIGGERS = [("TutorialT1", "TutorialT1Script", -2.0), ("TutorialT2", "TutorialT2Script", 7.0),
            ("TutorialT3", "TutorialT3Script", 9.5), ("TutorialT4", "TutorialT4Script", 21.5)]
BARRIER_X = 17.5
# The sky reaches 0.3 above the resting view (its foot is hidden by the ground): more than the two
# 0.05 steps a camera shake can lift the view, so no frame shows the clear colour at the top.
SKY_Y = 0.3


def vec(x, y, z=None):
    v = OrderedDict([("x", float(x)), ("y", float(y))])
    if z is not None:
        v["z"] = float(z)
    return [v]


def info(name, kind, active=True):
    return ("Information", [OrderedDict([("name", name), ("type", kind), ("active", active)])])


def transform(x, y, z, sx=1.0, sy=1.0):
    return ("Transform", [OrderedDict([("position", vec(x, y, z)), ("rotation", 0.0),
                                       ("scale", vec(sx, sy, 1.0))])])


def sprite(texture, sheet=False, speed=0.0, start=0, frames=0, once=False, ent="", slider=False,
           tint=None):
    fields = OrderedDict([
        ("tex_identifier", texture), ("texture", f"../Resources/ArtAssets/{texture}.png"),
        ("is_spritesheet", sheet), ("spritesheet_speed", speed), ("start_frame", start),
        ("number_of_frames", frames), ("play_once", once), ("ent_name", ent), ("is_slider", slider),
        ("slider_offset", 0.0), ("is_tinted", tint is not None)])
    r, g, b, a = tint if tint is not None else (1.0, 1.0, 1.0, 1.0)
    fields["tint_color"] = [OrderedDict([("r", r), ("g", g), ("b", b), ("a", a)])]
    return ("Sprite", [fields])


def collider(x, y, w, h, trigger, unphasable=False):
    return ("BoxCollider", [OrderedDict([
        ("is_trigger", trigger), ("is_enabled", True), ("position", vec(x, y)),
        ("following_transform", True), ("is_unphasable", unphasable), ("size", vec(w, h)),
        ("use_feet_box", False)])])


def body(kind):
    """0 dynamic, 2 static."""
    return ("RigidBody2D", [OrderedDict([("body_type", kind), ("mass", 1.0), ("gravity_scale", 0.0)])])


def text(size, colour, words=""):
    return ("Text", [OrderedDict([("textToPrint", words), ("textSize", size),
                                  ("color", vec(*colour))])])


def audio(*events, loops=False, streams=False):
    return ("Audio", [OrderedDict([("sounds", [OrderedDict([
        ("eventname", e), ("loops", loops), ("streams", streams)]) for e in events])])])


def script(name):
    return ("ScriptComponent", [OrderedDict([("file_name", name)])])


def parent():
    return ("Parent", [OrderedDict([
        ("pos_prev", vec(0, 0, 0)), ("pos_changed", vec(0, 0, 0)), ("pos_updated", False),
        ("num_children", 0), ("dir_changed", False), ("dir_positive", True)])])


def child(of="Cam", follows=True):
    return ("Child", [OrderedDict([
        ("parent_name", of), ("sibling_index", -1), ("follows_x", follows), ("follows_y", follows),
        ("follows_scaling_dir", False)])])


def entity(*components):
    return [OrderedDict(components)]


class Scene:
    def __init__(self):
        self.entities = OrderedDict()

    def add(self, name, *components):
        assert name not in self.entities, name
        self.entities[name] = entity(info(name, *components[0]), *components[1:])

    def write(self, folder, settings):
        os.makedirs(folder, exist_ok=True)
        name = os.path.basename(folder)
        insert_block.write_atomically(os.path.join(folder, name + ".json"), settings)
        insert_block.write_atomically(os.path.join(folder, "Entities.json"), self.entities)


# ---- Pieces every level shares -------------------------------------------------------------

def camera(scene, x):
    scene.add("Cam", (11,), transform(x, 0.0, 0.0, 16.0, 9.0), ("Camera", [OrderedDict()]), parent())


def scenery_row(scene, prefix, texture, xs, y, z, sy=9.0):
    for i, x in enumerate(xs):
        scene.add(f"{prefix}_{i:02d}", (5,), transform(x, y, z, 16.0, sy), sprite(texture))


def prop(scene, name, texture, x, y, sx, sy, z=6.0):
    scene.add(name, (5,), transform(x, y, z, sx, sy), sprite(texture))


def wall(scene, name, x, y, w, h):
    scene.add(name, (4,), transform(x, y, 0.0, w, h), collider(x, y, w, h, False, True), body(2))


def fade_in(scene, x):
    scene.add("FadeIn", (11,), transform(x, 0.0, 900.0, 16.0, 9.0),
              sprite("Fade_Black", tint=(1.0, 1.0, 1.0, 0.0)), script("FadeInScript"), child())


def dialogue_box(scene, x, texture, start_frame):
    """The one box of a scene where dialogues run, a 16-frame play-once sheet under the camera."""
    scene.add("DialogueBox", (8,), transform(x, -3.0, 400.0, 15.5, 10.0),
              sprite(texture, sheet=True, speed=0.04, start=start_frame, frames=16, once=True),
              script("DialogueBoxScript"), child())


def player(scene, x, y, scripted=True):
    """Ilo. Without a script nothing moves him (the epilogue)."""
    z = 100.0 - y
    components = [(1,), transform(x, y, z, 1.6, 1.6),
                  ("Stats", [OrderedDict([("hp", 30), ("speed_attack", 2.0), ("attack", 5.0),
                                          ("defense", 1.0), ("spd_modifier", 0.0),
                                          ("att_modifier", 0.0), ("def_modifier", 0.0)])]),
                  sprite("Anim_Ilo_Idle", sheet=True, speed=0.06, start=1, frames=16)]
    if scripted:
        sounds = [f"SFX_I_Footstep{i}" for i in range(1, 7)] + [f"SFX_I_Hurt{i}" for i in range(1, 6)]
        sounds += ["SFX_I_Death", "SFX_Heal", "SFX_Puri_RightKey", "SFX_Puri_RightCombi", "SFX_Puri_Wrong"]
        components += [
            collider(x, y - 0.55, 0.6, 0.5, True), body(0),
            ("PlayerController", [OrderedDict([
                ("up_key", 87), ("down_key", 83), ("left_key", 65), ("right_key", 68),
                ("attack_cooldown", 1.0), ("spell_speed", 8.0), ("idle_texture", "Anim_Ilo_Idle"),
                ("walking_texture", "Anim_Ilo_Walk"), ("attack_texture", "Anim_Ilo_Idle"),
                ("cast_texture", "Anim_Ilo_Attacking_Attack"), ("spell_texture", "Anim_ATK_Bullet"),
                ("hurt_texture", "Anim_Ilo_Hurt"), ("puri_texture", "Anim_Ilo_Purify"),
                ("purification_timer", 5.0)])]),
            audio(*sounds), script("PlayerScript")]
    components.append(parent())
    scene.add("Player", *components)


def hud(scene, x):
    """Ilo's portrait and bar, the purify icon, the arrow keys and Dora's teleport timer."""
    for key, dx, dy in (("Up", 6.0, -2.95), ("Left", 5.1, -3.85), ("Down", 6.0, -3.85), ("Right", 6.9, -3.85)):
        name = "ArrowKeysUI_" + key
        scene.add(name, (11,), transform(x + dx, dy, 200.0, 0.8, 0.8), sprite(name),
                  script("ArrowKeysUIScript"), child())
    scene.add("UI_PurifyIcon", (11,), transform(x + 3.9, -3.55, 200.0, 1.2, 1.2),
              sprite("UI_PurifySkill", tint=(1.0, 1.0, 1.0, 1.0)), script("PuriIconAppear"), child())
    scene.add("TP_SkillCD_Timer", (11, False), transform(1615.0, 250.0, 210.0), text(0.6, (1.0, 0.95, 0.8)),
              child(follows=False))
    scene.add("UI_Ilo_Face", (11,), transform(x - 7.2, 3.75, 200.0), sprite("UI_Ilo_Face"), child())
    scene.add("UI_Ilo_HealthBack", (11,), transform(x - 5.0, 3.8, 200.0, 3.4, 0.42), sprite("UI_Healthbar_Back"),
              child())
    scene.add("UI_Ilo_Healthbar", (11,), transform(x - 5.0, 3.8, 201.0, 3.4, 0.42),
              sprite("UI_Healthbar_Fill", ent="Player", slider=True, tint=(0.0, 1.0, 0.0, 1.0)),
              script("IloHealthUIScript"), child())


# ---- The tutorial --------------------------------------------------------------------------

def tutorial():
    scene = Scene()
    cam_x = PLAYER_START[0]
    camera(scene, cam_x)
    player(scene, *PLAYER_START)
    scene.add("LevelManager", (9,), script("LevelManagerScript"))

    band_y = (WALK_TOP + WALK_BOTTOM) / 2.0
    length = RIGHT_WALL - LEFT_WALL
    wall(scene, "Bound_Left", LEFT_WALL - 0.5, band_y, 1.0, 4.0)
    wall(scene, "Bound_Right", RIGHT_WALL + 0.5, band_y, 1.0, 4.0)
    wall(scene, "Bound_Top", (LEFT_WALL + RIGHT_WALL) / 2.0, WALK_TOP + 0.5, length + 2.0, 1.0)
    wall(scene, "Bound_Bottom", (LEFT_WALL + RIGHT_WALL) / 2.0, WALK_BOTTOM - 0.5, length + 2.0, 1.0)

    # Ilo's empty town at the start, the forest towards chapter 1.
    tiles = [-14.0, 2.0, 18.0, 34.0]
    scenery_row(scene, "BG_Sky", "BG_Sky_Night", tiles, SKY_Y, 0.0)
    scenery_row(scene, "BG_Mountains", "BG_Mountains", tiles, 1.0, 1.0)
    scenery_row(scene, "BG_Hills", "BG_Hills", tiles, 1.6, 2.0)
    scenery_row(scene, "BG_Town", "BG_City_Ruins", tiles[:2], 1.7, 3.0)
    scenery_row(scene, "BG_Forest", "BG_Forest", tiles[2:], 2.1, 3.0)
    # The ground's path runs through the walking band; a second strip fills the screen below it.
    scenery_row(scene, "Ground_Low", "Ground_Forest", tiles, -5.5, 4.0, sy=4.5)
    scenery_row(scene, "Ground", "Ground_Forest", tiles, -1.45, 4.5, sy=4.0)
    for i, (px, texture, sx, sy) in enumerate(((-7.0, "Prop_House", 3.0, 3.0), (-3.0, "Prop_House", 2.6, 2.6),
                                               (1.5, "Prop_Lamp", 0.6, 1.8), (4.0, "Prop_Sign", 0.8, 0.8))):
        prop(scene, f"Prop_{i:02d}", texture, px, 0.1 + sy / 2.0 - 0.2, sx, sy)
    for i, px in enumerate((12.0, 21.0, 26.5)):
        prop(scene, f"Tree_{i:02d}", "Prop_Tree", px, 1.4, 1.6, 3.2)

    for name, class_name, x in TRIGGERS:
        scene.add(name, (11,), transform(x, band_y, 10.0, 1.0, WALK_TOP - WALK_BOTTOM + 1.0),
                  collider(x, band_y, 1.0, WALK_TOP - WALK_BOTTOM + 1.0, True), body(2), script(class_name))
    scene.add("Barrier_T1", (4,), transform(BARRIER_X, -0.9, 99.0, 1.0, 4.0),
              sprite("Barrier", tint=(1.0, 1.0, 1.0, 0.0)),
              collider(BARRIER_X, band_y, 0.6, WALK_TOP - WALK_BOTTOM + 1.0, False, True), body(2),
              audio("SFX_EO_Barrier"), script("BarrierScript"))

    fade_in(scene, cam_x)
    dialogue_box(scene, cam_x, "default", 1)
    hud(scene, cam_x)
    return scene


# ---- The chapter card ----------------------------------------------------------------------

def chapter_card():
    scene = Scene()
    camera(scene, 0.0)
    scene.add("BG", (5,), transform(0.0, 0.0, 0.0, 16.0, 9.0), sprite("Splash_Chapter_1"))
    return scene


# ---- The epilogue --------------------------------------------------------------------------

def epilogue():
    scene = Scene()
    camera(scene, 0.0)
    # Standing only; their depth stays under "T_FadeOut" (95) so the fade covers them.
    player(scene, 0.0, -0.9, scripted=False)
    scene.entities["Player"][0]["Transform"][0]["position"][0]["z"] = 60.0
    scene.add("Dora", (2,), transform(1.7, -1.05, 60.0, -1.4, 1.4),
              ("Stats", [OrderedDict([("hp", 30), ("speed_attack", 1.8), ("attack", 4.0), ("defense", 3.0),
                                      ("spd_modifier", 0.0), ("att_modifier", 0.0), ("def_modifier", 0.0)])]),
              sprite("Anim_Vavu_Idle", sheet=True, speed=0.1, start=1, frames=8), parent())
    scene.add("DialogueBox", (8,), transform(0.0, -3.0, 400.0, 15.5, 10.0),
              sprite("UIAnim_Dialog_Box", sheet=True, speed=0.04, start=16, frames=16, once=True),
              script("DialogueBoxScript"), child())
    # The line entity before the speaker: the speaker's drop animation is the box's last change.
    scene.add("DialogueScript04", (11,), transform(150.0, 145.0, 0.0), text(0.9, (0.95, 0.92, 0.85)),
              script("DialogueScript04"))
    scene.add("DialogueScript04_N", (11,), transform(150.0, 250.0, 0.0), text(0.8, (0.98, 0.8, 0.35)),
              script("DialogueScript04_N"))
    tiles = [0.0]
    scenery_row(scene, "BG_Arena", "BG_Boss_Arena", tiles, 0.0, 0.0)
    scenery_row(scene, "Ground_Low", "Ground_Arena", tiles, -5.5, 4.0, sy=4.5)
    scenery_row(scene, "Ground", "Ground_Arena", tiles, -1.55, 4.5, sy=4.0)
    fade_in(scene, 0.0)
    return scene


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=os.path.join(REPO, "Resources", "Data"))
    args = parser.parse_args(argv)

    folder = os.path.join(args.data, "GameScene_22")
    tutorial().write(folder, OrderedDict([("scene_name", "GameScene_22")]))
    block = insert_block.load(os.path.join(os.path.dirname(os.path.abspath(__file__)), "pause_menu.json"))
    entities_path = os.path.join(folder, "Entities.json")
    entities = insert_block.load(entities_path)
    insert_block.shift(block, PLAYER_START[0], 0.0)
    insert_block.write_atomically(entities_path, insert_block.insert(block, entities, "Cam"))

    chapter_card().write(os.path.join(args.data, "SplashScene_07"), OrderedDict([
        ("show_time", 3.0), ("scene_name", "SplashScene_07"), ("next_state", "GameScene_01")]))
    epilogue().write(os.path.join(args.data, "GameScene_24"), OrderedDict([("scene_name", "GameScene_24")]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
