#!/usr/bin/env python3
"""Writes GameScene_23, the ruins: Ilo and Dora run right through a ruined city ahead of the death
wall, past falling boulders and poison puddles, through two spawner fights each closed by a barrier,
to "LevelExit". The layout lives here as numbers; the scene files are generated from it.

    ruins_level.py [--data Resources/Data]

The HUD and the fade are copied from GameScene_01 (moved to this level's camera) and the pause
block comes from pause_menu.json, so fixes to either reach this level when it is regenerated.
Entities are written in the order the scene creates them: Cam, the pause block, Player, Dora,
VavuHelp, LevelManager, the level, then the camera's dialogue box, fade and HUD (bars last).
"""
import argparse
import copy
import os
import sys
from collections import OrderedDict

import insert_block

SCENE = "GameScene_23"
CAM = (0.0, 0.0)
# The walkable band: the top and bottom walls' inner edges.
BAND_TOP, BAND_BOTTOM = -1.1, -4.3
BAND_MID, BAND_HEIGHT = (BAND_TOP + BAND_BOTTOM) / 2, BAND_TOP - BAND_BOTTOM
LEFT_END, RIGHT_END = -8.0, 94.0
TILE = 16.0
TILES_FROM, TILES_TO = -16.0, 112.0
# The sky reaches 0.3 above the resting view (its foot is hidden by the ground): more than the two
# 0.05 steps a camera shake can lift the view, so no frame shows the clear colour at the top.
SKY_Y = 0.3

# Copied from GameScene_01, in its order; bars come last because their scripts read the Stats.
HUD = ["ArrowKeysUI_Up", "ArrowKeysUI_Left", "ArrowKeysUI_Down", "ArrowKeysUI_Right", "UI_PurifyIcon",
       "TP_SkillCD_Timer", "UI_Ilo_Face", "UI_Vavu_Face", "UI_Ilo_HealthBack", "UI_Vavu_HealthBack",
       "UI_Ilo_Healthbar", "UI_Vavu_Healthbar"]

# --- the level's numbers ----------------------------------------------------------------------

PLAYER = (0.0, -2.4)
DORA = (-1.4, -2.9)
# The wall's dark mass ends 1.2 right of its centre; it hurts from there, 3.8 behind Ilo.
DEATH_WALL_X = -5.0
DEATH_WALL_REACH = 1.2
# Shown past the second fight, before the last rockfall. Ilo and Dora are held while the two pictures
# show, however long that is: here nothing reaches them (no zone drops rings while Ilo is out of it,
# the fights are over) and the wall, creeping 0.1 a second, comes up to where they stand only some
# eleven minutes into the level. The trigger is a narrow line 0.4 right of the picture's centre, so
# Ilo stops (his box is 0.6 wide) with the view about the picture, framed whole between the HUD bars
# and his head.
PICTURES = {"name": "Ruins2NPics_Cut", "trigger_x": 70.0, "trigger_width": 0.2, "at": (69.6, 0.45),
            "scale": (7.2, 4.05)}
# (name, script, centre x, width): boxes over most of the band, so rings land where Ilo walks.
ZONES = [
    ("RockfallZone_1", "Spikes1D4SScript", 21.5, 5.0),
    ("RockfallZone_2", "BoulderLevelScript", 42.0, 8.0),
    ("RockfallZone_3", "Boulder5D5SScript", 77.0, 10.0),
]
ZONE_Y, ZONE_HEIGHT = -2.95, 2.7
# Spawners stand low so that their groups (2.0 and 1.0 to 1.5 above) land on the path.
SPAWNERS = [("Spawner_E2", 4.0), ("Spawner_E3", 54.0)]
SPAWNER_Y = -3.8
# Each closes its fight: the first just past E2's group, the second past E3's. The first fight is
# near the start, so the wall creeps into it while it lasts.
BARRIERS = [("Barrier_1", 16.0), ("Barrier_2", 66.0)]
# Puddles to weave between: one high, one low, one high, and one by the last rockfall.
POISON = [(27.0, -2.0), (31.5, -3.75), (36.0, -2.15), (84.0, -3.6)]
EXIT_X = 92.0


# --- component builders -----------------------------------------------------------------------

def vec3(x, y, z):
    return [OrderedDict([("x", float(x)), ("y", float(y)), ("z", float(z))])]


def information(name, kind, active=True):
    return [OrderedDict([("name", name), ("type", kind), ("active", active)])]


def transform(x, y, z, sx, sy):
    return [OrderedDict([("position", vec3(x, y, z)), ("rotation", 0.0), ("scale", vec3(sx, sy, 1.0))])]


def sprite(texture, frames=0, speed=0.0, play_once=False, tint=None):
    sheet = frames > 1
    colour = tint or (1.0, 1.0, 1.0, 1.0)
    return [OrderedDict([
        ("tex_identifier", texture), ("texture", "../Resources/ArtAssets/%s.png" % texture),
        ("is_spritesheet", sheet), ("spritesheet_speed", float(speed)), ("start_frame", 1 if sheet else 0),
        ("number_of_frames", frames), ("play_once", play_once), ("ent_name", ""), ("is_slider", False),
        ("slider_offset", 0.0), ("is_tinted", tint is not None),
        ("tint_color", [OrderedDict(zip("rgba", map(float, colour)))])])]


def collider(x, y, w, h, trigger=True):
    return [OrderedDict([
        ("is_trigger", trigger), ("is_enabled", True), ("position", [OrderedDict([("x", float(x)), ("y", float(y))])]),
        ("following_transform", True), ("is_unphasable", not trigger),
        ("size", [OrderedDict([("x", float(w)), ("y", float(h))])]), ("use_feet_box", False)])]


def static_body():
    return [OrderedDict([("body_type", 2), ("mass", 1.0), ("gravity_scale", 0.0)])]


def script(name):
    return [OrderedDict([("file_name", name)])]


def sounds(*events, loops=False, streams=False):
    return [OrderedDict([("sounds", [OrderedDict([("eventname", e), ("loops", loops), ("streams", streams)])
                                     for e in events])])]


def parent():
    zero = vec3(0.0, 0.0, 0.0)
    return [OrderedDict([("pos_prev", zero), ("pos_changed", copy.deepcopy(zero)), ("pos_updated", False),
                         ("num_children", 0), ("dir_changed", False), ("dir_positive", True)])]


def child(of, follows=True):
    return [OrderedDict([("parent_name", of), ("sibling_index", -1), ("follows_x", follows),
                         ("follows_y", follows), ("follows_scaling_dir", False)])]


def entity(**components):
    """One entity entry; components are written in ascending type-id order."""
    order = ["Information", "Transform", "Stats", "Camera", "Sprite", "BoxCollider", "RigidBody2D",
             "EnemyMovement", "AIMovement", "PlayerController", "Text", "Audio", "Spells", "Button",
             "ScriptComponent", "Slider", "Parent", "Child"]
    assert set(components) <= set(order), set(components) - set(order)
    return [OrderedDict((key, components[key]) for key in order if key in components)]


def scenery(name, texture, x, y, z, sx, sy, tint=None, kind=5):
    return entity(Information=information(name, kind), Transform=transform(x, y, z, sx, sy),
                  Sprite=sprite(texture, tint=tint))


# --- the level --------------------------------------------------------------------------------

def moved(entry, dx, dy, x=None, y=None):
    """A copy of an entity entry with its Transform (and absolute collider) moved."""
    entry = copy.deepcopy(entry)
    components = entry[0]
    position = components["Transform"][0]["position"][0]
    if x is not None:
        dx, dy = x - position["x"], y - position["y"]
    position["x"] += dx
    position["y"] += dy
    if "BoxCollider" in components:
        box = components["BoxCollider"][0]["position"][0]
        box["x"] += dx
        box["y"] += dy
    return entry


def characters(source):
    level = OrderedDict()
    level["Player"] = moved(source["Player"], 0, 0, *PLAYER)
    level["Dora"] = moved(source["Dora"], 0, 0, *DORA)
    # Dora's help icon floats above her head.
    level["VavuHelp"] = moved(source["VavuHelp"], 0, 0, DORA[0], DORA[1] + 1.1)
    level["LevelManager"] = entity(Information=information("LevelManager", 9), ScriptComponent=script("LevelManagerScript"))
    level["BGM"] = entity(Information=information("BGM", 9), Audio=sounds("BGM_Level1", loops=True, streams=True))
    return level


def bounds():
    level = OrderedDict()
    centre, width = (LEFT_END + RIGHT_END) / 2, RIGHT_END - LEFT_END + 2.0
    for name, x, y, w, h in [("Bound_Left", LEFT_END - 0.5, -2.7, 1.0, 6.0),
                             ("Bound_Right", RIGHT_END + 0.5, -2.7, 1.0, 6.0),
                             ("Bound_Top", centre, BAND_TOP + 0.5, width, 1.0),
                             ("Bound_Bottom", centre, BAND_BOTTOM - 0.5, width, 1.0)]:
        level[name] = entity(Information=information(name, 4), Transform=transform(x, y, 0.0, w, h),
                             BoxCollider=collider(x, y, w, h, trigger=False), RigidBody2D=static_body())
    return level


def backdrop():
    """Night sky, mountains, two rows of ruined towers (the far row dimmed) and the flagstones."""
    level = OrderedDict()
    far = (0.55, 0.55, 0.75, 1.0)
    x, i = TILES_FROM + TILE / 2, 0
    while x - TILE / 2 < TILES_TO:
        level["BG_Sky_%02d" % i] = scenery("BG_Sky_%02d" % i, "BG_Sky_Night", x, SKY_Y, 0.0, TILE, 9.0)
        level["BG_Mountains_%02d" % i] = scenery("BG_Mountains_%02d" % i, "BG_Mountains", x, 0.9, 1.0, TILE, 9.0)
        # The far row is offset by half a tile so its towers fall between the near row's.
        level["BG_RuinsFar_%02d" % i] = scenery("BG_RuinsFar_%02d" % i, "BG_City_Ruins", x + TILE / 2, 2.3, 2.0,
                                                TILE, 9.0, tint=far)
        level["BG_Ruins_%02d" % i] = scenery("BG_Ruins_%02d" % i, "BG_City_Ruins", x, 1.5, 3.0, TILE, 9.0)
        level["Ground_%02d" % i] = scenery("Ground_%02d" % i, "Ground_Arena", x, -2.5, 4.0, TILE, 4.5)
        x += TILE
        i += 1
    return level


# (texture, x, scale x, scale y): props standing on the ground's upper edge, behind everyone.
PROPS = [
    ("Prop_House", -6.0, 3.2, 3.2), ("Prop_Pillar", -1.5, 0.9, 2.7), ("Prop_Lamp", 3.5, 0.8, 2.4),
    ("Prop_Rock", 5.0, 0.8, 0.8), ("Prop_Rock", 8.2, 1.0, 1.0), ("Prop_Pillar", 12.5, 0.9, 2.7),
    ("Prop_House", 17.5, 3.2, 3.2), ("Prop_Crate", 23.5, 0.8, 0.8), ("Prop_Pillar", 25.0, 0.9, 2.7),
    ("Prop_Lamp", 33.5, 0.8, 2.4), ("Prop_Rock", 39.0, 0.8, 0.8), ("Prop_Rock", 44.5, 1.0, 1.0),
    ("Prop_House", 48.5, 3.2, 3.2), ("Prop_Pillar", 57.0, 0.9, 2.7), ("Prop_Crate", 60.0, 0.8, 0.8),
    ("Prop_Pillar", 63.0, 0.9, 2.7), ("Prop_House", 70.0, 3.2, 3.2), ("Prop_Rock", 74.5, 0.8, 0.8),
    ("Prop_Rock", 80.0, 1.0, 1.0), ("Prop_Pillar", 86.5, 0.9, 2.7), ("Prop_Lamp", 90.5, 0.8, 2.4),
    ("Prop_Sign", 92.0, 0.9, 0.9), ("Prop_Lamp", 93.5, 0.8, 2.4),
]
GROUND_EDGE = -0.25


def props():
    level = OrderedDict()
    for i, (texture, x, w, h) in enumerate(PROPS):
        # Feet a little below the ground's edge, so they stand on it.
        name = "Scenery_%02d_%s" % (i, texture.split("_")[1])
        level[name] = scenery(name, texture, x, GROUND_EDGE - 0.15 + h / 2, 6.0, w, h)
    return level


def death_wall():
    level = OrderedDict()
    x = DEATH_WALL_X
    level["DeathWall"] = entity(
        Information=information("DeathWall", 4), Transform=transform(x, 0.0, 120.0, 3.0, 9.0),
        Sprite=sprite("Death_Wall"),
        BoxCollider=collider(x + DEATH_WALL_REACH - 0.6, BAND_MID, 1.2, BAND_HEIGHT + 0.4),
        RigidBody2D=static_body(), ScriptComponent=script("DeathWallScript"), Parent=parent())
    # The dark it leaves behind: copies further left, each edge under the one in front of it.
    for i in range(1, 5):
        name = "DeathWall_Trail_%d" % i
        level[name] = entity(Information=information(name, 5), Transform=transform(x - 2.0 * i, 0.0, 120.0 - i, 3.0, 9.0),
                             Sprite=sprite("Death_Wall"), Child=child("DeathWall"))
    return level


def picture_dialogue():
    p = PICTURES
    # Invisible (alpha 0) until Ilo touches the trigger line; the script then shows the pictures.
    return {p["name"]: entity(
        Information=information(p["name"], 11), Transform=transform(p["at"][0], p["at"][1], 500.0, *p["scale"]),
        Sprite=sprite("default", tint=(1.0, 1.0, 1.0, 0.0)),
        BoxCollider=collider(p["trigger_x"], BAND_MID, p["trigger_width"], BAND_HEIGHT + 0.4), RigidBody2D=static_body(),
        ScriptComponent=script("DialogueScript"))}


def hazards():
    level = OrderedDict()
    for name, kind, x, w in ZONES:
        level[name] = entity(Information=information(name, 11), Transform=transform(x, ZONE_Y, 0.0, w, ZONE_HEIGHT),
                             BoxCollider=collider(x, ZONE_Y, w, ZONE_HEIGHT), RigidBody2D=static_body(),
                             ScriptComponent=script(kind))
    for i, (x, y) in enumerate(POISON, start=1):
        name = "PoisonFloor_%d" % i
        level[name] = entity(Information=information(name, 7), Transform=transform(x, y, 5.0, 3.2, 1.6),
                             Sprite=sprite("Poison_Floor"), BoxCollider=collider(x, y, 2.6, 0.8),
                             RigidBody2D=static_body(), Audio=sounds("SFX_EO_Poison"),
                             ScriptComponent=script("PoisonFloorScript"))
        for j, dx in enumerate((-0.6, 0.7)):
            bubbles = "PoisonBubbles_%d_%d" % (i, j)
            level[bubbles] = entity(Information=information(bubbles, 5),
                                    Transform=transform(x + dx, y + 0.15 * (1 - 2 * j), 5.5, 0.7, 0.7),
                                    Sprite=sprite("Anim_Poison_Bubbles", frames=8, speed=0.12 + 0.03 * j))
    return level


def fights():
    level = OrderedDict()
    for name, x in SPAWNERS:
        level[name] = entity(Information=information(name, 11), Transform=transform(x, SPAWNER_Y, 0.0, 0.4, BAND_HEIGHT),
                             BoxCollider=collider(x, BAND_MID, 0.4, BAND_HEIGHT + 0.4), RigidBody2D=static_body(),
                             ScriptComponent=script("SpawnerScript"))
    for name, x in BARRIERS:
        level[name] = entity(Information=information(name, 4), Transform=transform(x, BAND_MID, 110.0, 1.0, 4.0),
                             Sprite=sprite("Barrier"), BoxCollider=collider(x, BAND_MID, 1.0, BAND_HEIGHT + 0.6, trigger=False),
                             RigidBody2D=static_body(), Audio=sounds("SFX_EO_Barrier"),
                             ScriptComponent=script("BarrierScript"))
    level["LevelExit"] = entity(Information=information("LevelExit", 11), Transform=transform(EXIT_X, BAND_MID, 0.0, 1.0, BAND_HEIGHT),
                                BoxCollider=collider(EXIT_X, BAND_MID, 1.0, BAND_HEIGHT + 0.4), RigidBody2D=static_body(),
                                ScriptComponent=script("WinOnCollisionScript"))
    return level


def camera_children(source):
    level = OrderedDict()
    dx = CAM[0] - source["Cam"][0]["Transform"][0]["position"][0]["x"]
    dy = CAM[1] - source["Cam"][0]["Transform"][0]["position"][0]["y"]
    level["DialogueBox"] = entity(
        Information=information("DialogueBox", 8), Transform=transform(CAM[0], CAM[1] - 3.0, 400.0, 15.5, 10.0),
        Sprite=sprite("default", frames=16, speed=0.05, play_once=True), ScriptComponent=script("DialogueBoxScript"),
        Child=child("Cam"))
    level["FadeIn"] = moved(source["FadeIn"], dx, dy)
    for name in HUD:
        # Texts are placed in window pixels and do not move with the camera.
        text = "Text" in source[name][0]
        level[name] = copy.deepcopy(source[name]) if text else moved(source[name], dx, dy)
    return level


def build(data):
    source = insert_block.load(os.path.join(data, "GameScene_01", "Entities.json"))
    cam = copy.deepcopy(source["Cam"])
    cam[0]["Transform"][0]["position"] = vec3(CAM[0], CAM[1], 0.0)
    level = OrderedDict([("Cam", cam)])
    for part in (characters(source), bounds(), backdrop(), props(), death_wall(), picture_dialogue(), hazards(),
                 fights(), camera_children(source)):
        clashes = set(part) & set(level)
        assert not clashes, clashes
        level.update(part)
    here = os.path.dirname(os.path.abspath(__file__))
    block = insert_block.load(os.path.join(here, "pause_menu.json"))
    insert_block.shift(block, *CAM)
    return insert_block.insert(block, level, "Cam")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default=os.path.join(os.path.dirname(__file__), "..", "..", "Resources", "Data"))
    args = parser.parse_args(argv)
    level = build(args.data)
    folder = os.path.join(args.data, SCENE)
    os.makedirs(folder, exist_ok=True)
    for name, document in (("Entities.json", level), (SCENE + ".json", OrderedDict([("scene_name", SCENE)]))):
        path = os.path.join(folder, name)
        insert_block.write_atomically(path, document)
        os.chmod(path, 0o644)  # the temporary file it came from was private
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
