#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "tmx/TmxParser.hpp"

namespace {

std::unique_ptr<TmxMap> parse(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return parseTmx(buffer.data());
}

// The reason a malformed text is rejected with, or "" when it is accepted.
std::string rejection(const std::string& text) {
    try {
        parse(text);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

const char* const tileset = R"(<tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16">
  <image source="tiles.png" width="64" height="64"/>
 </tileset>)";

std::string mapWith(const std::string& body) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.5" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="16" tileheight="16">
 )") + body +
           "\n</map>\n";
}

std::string layer(const std::string& name, const std::string& data, int width = 3, int height = 2) {
    return "<layer id=\"1\" name=\"" + name + "\" width=\"" + std::to_string(width) + "\" height=\"" +
           std::to_string(height) + "\">\n  <data encoding=\"csv\">\n" + data + "</data>\n </layer>";
}

// Enough nested elements to exhaust the stack of a recursive parser.
std::string deepNesting() {
    std::string text = "<map>";
    for (int i = 0; i < 200000; ++i) {
        text += "<a>";
    }
    return text;
}

} // namespace

TEST(TmxParser, ReadsMapAndTilesetAttributes) {
    auto map = parse(mapWith(
        std::string(tileset) +
        R"(<tileset firstgid="17" name="big" tilewidth="16" tileheight="32"><image source="sub/big.png"/></tileset>)" +
        layer("Ground", "1,2,3,\n4,5,6\n")));
    EXPECT_EQ(map->width, 3);
    EXPECT_EQ(map->height, 2);
    EXPECT_EQ(map->tileWidth, 16);
    EXPECT_EQ(map->tileHeight, 16);
    ASSERT_EQ(map->tilesets.size(), 2u);
    EXPECT_EQ(map->tilesets[0]->firstGid, 1);
    EXPECT_EQ(map->tilesets[0]->name, "tiles");
    EXPECT_EQ(map->tilesets[0]->imageSource, "tiles.png");
    EXPECT_EQ(map->tilesets[1]->firstGid, 17);
    EXPECT_EQ(map->tilesets[1]->tileHeight, 32);
    EXPECT_EQ(map->tilesets[1]->imageSource, "sub/big.png");
}

TEST(TmxParser, CsvRowsWithTrailingCommasYieldExactlyTheNumbersWritten) {
    auto map = parse(mapWith(std::string(tileset) + layer("Ground", "1,0,3,\r\n\t4, 5 ,6,\n")));
    ASSERT_EQ(map->layers.size(), 1u);
    const auto& ground = *map->layers[0];
    EXPECT_EQ(ground.name, "Ground");
    EXPECT_EQ(ground.width, 3);
    EXPECT_EQ(ground.height, 2);
    EXPECT_EQ(ground.data, (std::vector<int>{1, 0, 3, 4, 5, 6}));
}

TEST(TmxParser, CellsTheDataLeavesOutAreEmpty) {
    auto map = parse(mapWith(std::string(tileset) + layer("Ground", "7,8\n")));
    EXPECT_EQ(map->layers[0]->data, (std::vector<int>{7, 8, 0, 0, 0, 0}));
    auto blank = parse(mapWith(layer("Blank", "")));
    EXPECT_EQ(blank->layers[0]->data, (std::vector<int>(6, 0)));
}

TEST(TmxParser, NumbersAreReadLikeStrtol) {
    auto map = parse(mapWith(layer("L", "12abc,x,-3,+4,99999999999,-99999999999\n") + R"(
 <objectgroup name="G">
  <object id="1" x="100.75" y="-3.5" width="10.9" height="abc"/>
 </objectgroup>)"));
    EXPECT_EQ(map->layers[0]->data, (std::vector<int>{12, 0, -3, 4, INT_MAX, INT_MIN}));
    const auto& object = *map->objectGroups[0]->objects[0];
    EXPECT_EQ(object.x, 100);
    EXPECT_EQ(object.y, -3);
    EXPECT_EQ(object.width, 10);
    EXPECT_EQ(object.height, 0);
}

TEST(TmxParser, ReadsGroupsObjectsAndPropertiesInOrder) {
    auto map = parse(mapWith(layer("L", "") + R"(
 <objectgroup id="2" name="Players" width="3" height="2" visible="0">
  <properties>
   <property name="#Any" value="false"/>
   <property name="Platforms" type="bool" value="true"/>
  </properties>
  <object id="1" name="Player1" gid="5" x="4" y="8" width="32" height="64" visible="0">
   <properties>
    <property name="body" value="rigidbody"/>
    <property name="body#Mass" value="2.5"/>
   </properties>
  </object>
  <object id="2" x="1" y="2"/>
 </objectgroup>)"));
    ASSERT_EQ(map->objectGroups.size(), 1u);
    const auto& group = *map->objectGroups[0];
    EXPECT_EQ(group.name, "Players");
    EXPECT_EQ(group.width, 3);
    EXPECT_EQ(group.height, 2);
    EXPECT_FALSE(group.visible);
    ASSERT_EQ(group.properties.size(), 2u);
    EXPECT_EQ(group.properties[0]->name, "#Any");
    EXPECT_EQ(group.properties[0]->value, "false");
    EXPECT_EQ(group.properties[1]->name, "Platforms");
    ASSERT_EQ(group.objects.size(), 2u);
    const auto& player = *group.objects[0];
    EXPECT_EQ(player.name, "Player1");
    EXPECT_EQ(player.gid, 5);
    EXPECT_EQ(player.x, 4);
    EXPECT_EQ(player.y, 8);
    EXPECT_EQ(player.width, 32);
    EXPECT_EQ(player.height, 64);
    EXPECT_FALSE(player.visible);
    ASSERT_EQ(player.properties.size(), 2u);
    EXPECT_EQ(player.properties[1]->name, "body#Mass");
    EXPECT_EQ(player.properties[1]->value, "2.5");
    // Optional attributes left out take their defaults.
    const auto& bare = *group.objects[1];
    EXPECT_EQ(bare.name, "");
    EXPECT_EQ(bare.gid, 0);
    EXPECT_EQ(bare.width, 0);
    EXPECT_EQ(bare.height, 0);
    EXPECT_TRUE(bare.visible);
    EXPECT_TRUE(bare.properties.empty());
}

TEST(TmxParser, GroupWithoutVisibleIsVisible) {
    auto map =
        parse(mapWith(layer("L", "") + R"(<objectgroup name="A"/><objectgroup name="B" visible="1"/>)"));
    EXPECT_TRUE(map->objectGroups[0]->visible);
    EXPECT_TRUE(map->objectGroups[1]->visible);
    EXPECT_EQ(map->objectGroups[0]->width, 0);
}

TEST(TmxParser, IndexCountsFromTheFirstGroupWhenItPrecedesTheFirstLayer) {
    auto map = parse(mapWith(std::string(tileset) + R"(<objectgroup name="A"/>)" + layer("B", "") +
                             R"(<objectgroup name="C"/>)"));
    EXPECT_EQ(map->objectGroups[0]->index, 0);
    EXPECT_EQ(map->layers[0]->index, 1);
    EXPECT_EQ(map->objectGroups[1]->index, 2);
}

TEST(TmxParser, IndexCountsEveryElementAfterTheFirstLayer) {
    auto map = parse(mapWith(std::string(tileset) + layer("B", "") + tileset + R"(<objectgroup name="C"/>)"));
    EXPECT_EQ(map->layers[0]->index, 0);
    EXPECT_EQ(map->objectGroups[0]->index, 2);
    // Tilesets are read wherever they stand.
    EXPECT_EQ(map->tilesets.size(), 2u);
}

TEST(TmxParser, CommentsAndTextBetweenLayersDoNotCount) {
    auto map = parse(mapWith(layer("B", "") + "<!-- note -->\n" + R"(<objectgroup name="C"/>)"));
    EXPECT_EQ(map->objectGroups[0]->index, 1);
}

TEST(TmxParser, EntitiesInNamesAndValuesAreDecoded) {
    auto map = parse(mapWith(
        layer("Fish &amp; Chips", "") +
        R"(<objectgroup name="G"><properties><property name="a" value="&lt;b&gt;"/></properties></objectgroup>)"));
    EXPECT_EQ(map->layers[0]->name, "Fish & Chips");
    EXPECT_EQ(map->objectGroups[0]->properties[0]->value, "<b>");
}

TEST(TmxParser, RejectsMalformedMaps) {
    struct Case {
        const char* what;
        std::string text;
        const char* reason;
    };
    const std::vector<Case> cases = {
        {"not XML", "this is not a map", "XML syntax error"},
        {"truncated", mapWith(layer("L", "1,2")).substr(0, 150), "XML syntax error"},
        {"no map element", "<notamap/>", "no <map>"},
        {"no tile layer", mapWith(R"(<objectgroup name="G"/>)"), "no tile layer"},
        {"map without width",
         R"(<map height="2" tilewidth="16" tileheight="16">)" + layer("L", "") + "</map>", "attribute width"},
        {"tileset without image",
         mapWith(R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16"/>)" + layer("L", "")),
         "<image>"},
        {"image without source",
         mapWith(R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16"><image/></tileset>)" +
                 layer("L", "")),
         "attribute source"},
        {"layer without data", mapWith(R"(<layer name="L" width="3" height="2"/>)"), "<data>"},
        {"layer without name", mapWith(R"(<layer width="3" height="2"><data/></layer>)"), "attribute name"},
        {"too many numbers", mapWith(layer("L", "1,2,3,4,5,6,7")), "more numbers"},
        {"malformed Base64",
         mapWith(
             R"(<layer name="L" width="3" height="2"><data encoding="base64">AQ*AAAIAAAA=</data></layer>)"),
         "malformed Base64"},
        {"compressed CSV",
         mapWith(
             R"(<layer name="L" width="3" height="2"><data encoding="csv" compression="zlib">1</data></layer>)"),
         "only Base64"},
        {"unknown compression",
         mapWith(
             R"(<layer name="L" width="3" height="2"><data encoding="base64" compression="lzma">AQAAAA==</data></layer>)"),
         "unknown compression \"lzma\""},
        {"unknown encoding",
         mapWith(R"(<layer name="L" width="3" height="2"><data encoding="hex">01</data></layer>)"),
         "unknown encoding"},
        {"unknown data elements",
         mapWith(R"(<layer name="L" width="3" height="2"><data><cell/></data></layer>)"), "<cell> elements"},
        {"chunk outside a finite map",
         mapWith(
             R"(<layer name="L" width="3" height="2"><data encoding="csv"><chunk x="0" y="0" width="16" height="16">1</chunk></data></layer>)"),
         "outside the map"},
        {"isometric map",
         R"(<map orientation="isometric" width="3" height="2" tilewidth="16" tileheight="16">)" +
             layer("L", "") + "</map>",
         "orientation is isometric"},
        {"malformed tint", mapWith(R"(<layer name="L" width="3" height="2" tintcolor="#12"><data/></layer>)"),
         "tintcolor"},
        {"negative size", mapWith(layer("L", "", -3, 2)), "size"},
        {"both sizes negative", mapWith(layer("L", "", -65536, -65536)), "size"},
        {"overflowing size", mapWith(layer("L", "", 65536, 65536)), "size"},
        {"huge size", mapWith(layer("L", "", 2147483647, 2147483647)), "size"},
        {"group without name", mapWith(layer("L", "") + "<objectgroup/>"), "attribute name"},
        {"object without x",
         mapWith(layer("L", "") + R"(<objectgroup name="G"><object y="1"/></objectgroup>)"), "attribute x"},
        {"property without value",
         mapWith(layer("L", "") +
                 R"(<objectgroup name="G"><properties><property name="a"/></properties></objectgroup>)"),
         "attribute value"},
        {"deep nesting", deepNesting(), "nest"},
    };
    for (const auto& c : cases) {
        std::string reason = rejection(c.text);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.what << ": \"" << reason << "\"";
    }
}

TEST(TmxParser, AcceptsEveryNumberThatFitsTheCells) {
    auto map = parse(mapWith(layer("L", "1,2,3,4,5,6,,,\n")));
    EXPECT_EQ(map->layers[0]->data.back(), 6);
    // CSV text without the encoding attribute is read all the same.
    auto bare = parse(mapWith(R"(<layer name="L" width="3" height="2"><data>1,2</data></layer>)"));
    EXPECT_EQ(bare->layers[0]->data[1], 2);
    auto empty = parse(mapWith(layer("Nothing", "", 0, 0)));
    EXPECT_TRUE(empty->layers[0]->data.empty());
}

TEST(TmxParser, GroupsHandTheirSettingsDownAndTakeNoPlaceInTheOrder) {
    auto map = parse(mapWith(std::string(tileset) + R"(
 <layer name="Back" width="3" height="2" offsetx="1" visible="1"><data>1</data></layer>
 <group name="Outer" offsetx="10" offsety="-4" opacity="0.5" tintcolor="#ff8000">
  <objectgroup name="Things"/>
  <group name="Inner" offsety="2.5" opacity="0.5" visible="0" tintcolor="#80ffffff">
   <layer name="Deep" width="3" height="2" offsetx="-3" tintcolor="#8080ff"><data>2</data></layer>
  </group>
  <imagelayer name="Picture" offsetx="4"><image source="sky.png"/></imagelayer>
  <imagelayer name="Empty"/>
 </group>
 <layer name="Front" width="3" height="2" opacity="2"><data>3</data></layer>)"));
    ASSERT_EQ(map->layers.size(), 4u);
    const TmxLayer& back = *map->layers[0];
    const TmxLayer& deep = *map->layers[1];
    const TmxLayer& picture = *map->layers[2];
    const TmxLayer& front = *map->layers[3];
    EXPECT_EQ(back.offsetX, 1.f);
    EXPECT_TRUE(back.visible);
    // Offsets add up, opacity and tint multiply, one hidden group hides all within.
    EXPECT_EQ(deep.offsetX, 7.f);
    EXPECT_EQ(deep.offsetY, -1.5f);
    EXPECT_EQ(deep.opacity, 0.25f);
    EXPECT_FALSE(deep.visible);
    EXPECT_EQ(deep.tint.r, 128);
    EXPECT_EQ(deep.tint.g, 64);
    EXPECT_EQ(deep.tint.b, 0);
    EXPECT_EQ(deep.tint.a, 128);
    EXPECT_EQ(picture.imageSource, "sky.png");
    EXPECT_EQ(picture.offsetX, 14.f);
    EXPECT_TRUE(picture.data.empty());
    EXPECT_EQ(front.opacity, 1.f) << "opacity is at most 1";
    // Back, Things, Deep, Picture, Empty, Front: groups take no place.
    EXPECT_EQ(back.index, 0);
    EXPECT_EQ(map->objectGroups[0]->index, 1);
    EXPECT_EQ(deep.index, 2);
    EXPECT_EQ(picture.index, 3);
    EXPECT_EQ(front.index, 5);
}

TEST(TmxParser, InfiniteMapSpansItsChunksAndItsObjectsMoveWithTheOrigin) {
    auto map = parse(
        R"(<map orientation="orthogonal" width="3" height="2" tilewidth="16" tileheight="8" infinite="1">
 <layer name="L" width="3" height="2"><data encoding="csv">
  <chunk x="-4" y="-2" width="2" height="2">1,2,3,4</chunk>
  <chunk x="2" y="0" width="2" height="1">5,3221225478</chunk>
 </data></layer>
 <objectgroup name="G"><object x="0" y="0"/></objectgroup>
</map>)");
    ASSERT_EQ(map->width, 8);
    ASSERT_EQ(map->height, 3);
    const TmxLayer& layer = *map->layers[0];
    EXPECT_EQ(layer.width, 8);
    EXPECT_EQ(layer.data,
              (std::vector<int>{1, 2, 0, 0, 0, 0, 0, 0, 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 6}));
    EXPECT_EQ(layer.flips[23], tmxFlipHorizontal | tmxFlipVertical);
    EXPECT_EQ(map->objectGroups[0]->objects[0]->x, 64);
    EXPECT_EQ(map->objectGroups[0]->objects[0]->y, 16);
}

TEST(TmxParser, ReadsTheEditorsTilesetParallaxRepeatAndTileObjectSettings) {
    auto map = parse(
        R"(<map orientation="orthogonal" renderorder="left-up" width="3" height="2" tilewidth="16" tileheight="16"
      parallaxoriginx="40.5" parallaxoriginy="-12">
 <tileset firstgid="1" name="s" tilewidth="16" tileheight="16" margin="1" spacing="2" tilecount="9" columns="3">
  <tileoffset x="-4" y="6"/><image source="s.png"/>
 </tileset>
 <group name="Far" parallaxx="0.5" parallaxy="2">
  <layer name="L" width="3" height="2" parallaxx="0.5"><data encoding="csv">1,2,3,4,5,6</data></layer>
  <imagelayer name="Sky" repeatx="1"><image source="sky.png"/></imagelayer>
  <objectgroup name="G" opacity="0.5" parallaxy="0.25">
   <object gid="2147483650" x="1" y="32" width="16" height="16" rotation="405"/>
   <object gid="3" x="0" y="0"/>
  </objectgroup>
 </group>
 <imagelayer name="Wall" repeaty="1" parallaxx="1000"><image source="w.png"/></imagelayer>
</map>)");
    EXPECT_EQ(map->renderOrder, TmxRenderOrder::leftUp);
    EXPECT_EQ(map->parallaxOriginX, 40.5f);
    EXPECT_EQ(map->parallaxOriginY, -12.f);
    const TmxTileset& spaced = *map->tilesets[0];
    EXPECT_EQ(spaced.margin, 1);
    EXPECT_EQ(spaced.spacing, 2);
    EXPECT_EQ(spaced.tileCount, 9);
    EXPECT_EQ(spaced.columns, 3);
    EXPECT_EQ(spaced.tileOffsetX, -4);
    EXPECT_EQ(spaced.tileOffsetY, 6);
    // A group's factors multiply those of what stands in it.
    const TmxLayer& inGroup = *map->layers[0];
    EXPECT_EQ(inGroup.parallaxX, 0.25f);
    EXPECT_EQ(inGroup.parallaxY, 2.f);
    const TmxLayer& sky = *map->layers[1];
    EXPECT_TRUE(sky.repeatX);
    EXPECT_FALSE(sky.repeatY);
    EXPECT_EQ(sky.parallaxX, 0.5f);
    const TmxLayer& wall = *map->layers[2];
    EXPECT_TRUE(wall.repeatY);
    EXPECT_EQ(wall.parallaxX, 100.f) << "factors are clamped";
    const TmxObjectGroup& group = *map->objectGroups[0];
    EXPECT_EQ(group.opacity, 0.5f);
    EXPECT_EQ(group.parallaxX, 0.5f);
    EXPECT_EQ(group.parallaxY, 0.5f);
    // The flip flags of a tile object's gid are taken apart from the tile.
    const TmxObject& flipped = *group.objects[0];
    EXPECT_EQ(flipped.gid, 2);
    EXPECT_EQ(flipped.flips, tmxFlipHorizontal);
    EXPECT_EQ(flipped.rotation, 45.f);
    EXPECT_EQ(group.objects[1]->gid, 3);
    EXPECT_EQ(group.objects[1]->flips, 0);
    EXPECT_EQ(group.objects[1]->rotation, 0.f);

    // Without the attributes: right-down, origin 0, factors 1, no repeat.
    auto plain = parse(mapWith(std::string(tileset) + layer("Ground", "1,2,3,4,5,6")));
    EXPECT_EQ(plain->renderOrder, TmxRenderOrder::rightDown);
    EXPECT_EQ(plain->layers[0]->parallaxX, 1.f);
    EXPECT_EQ(plain->tilesets[0]->margin, 0);
    EXPECT_EQ(plain->tilesets[0]->tileOffsetY, 0);

    EXPECT_NE(rejection(R"(<map renderorder="diagonal" width="1" height="1" tilewidth="8" tileheight="8">
 <layer name="L" width="1" height="1"><data encoding="csv">0</data></layer></map>)")
                  .find("render order \"diagonal\""),
              std::string::npos);
    EXPECT_NE(rejection(mapWith(R"(<tileset firstgid="1" name="t" tilewidth="16" tileheight="16" spacing="-3">
  <image source="t.png"/></tileset>)" +
                                layer("Ground", "1,2,3,4,5,6")))
                  .find("negative spacing of -3"),
              std::string::npos);
}

TEST(TmxParser, PolylineAndPolygonObjectsKeepTheirPointsAndIds) {
    auto map = parse(mapWith(std::string(tileset) + layer("Ground", "0,0,0,\n0,0,0\n") + R"(
 <objectgroup id="2" name="Paths">
  <object id="7" name="Lift" x="10" y="20">
   <polyline points="0,0 0,-96.5 12,-96.5"/>
  </object>
  <object id="9" name="Round" x="5" y="5">
   <polygon points="0,0
 30,0  30,10"/>
  </object>
  <object name="Box" x="1" y="2" width="3" height="4"/>
 </objectgroup>)"));
    const auto& objects = map->objectGroups.at(0)->objects;
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[0]->id, 7);
    EXPECT_EQ(objects[0]->shape, TmxShape::polyline);
    ASSERT_EQ(objects[0]->points.size(), 3u);
    EXPECT_FLOAT_EQ(objects[0]->points[1].y, -96.5f);
    EXPECT_FLOAT_EQ(objects[0]->points[2].x, 12.f);
    EXPECT_EQ(objects[1]->shape, TmxShape::polygon);
    ASSERT_EQ(objects[1]->points.size(), 3u);
    EXPECT_FLOAT_EQ(objects[1]->points[2].y, 10.f);
    EXPECT_EQ(objects[2]->id, 0);
    EXPECT_EQ(objects[2]->shape, TmxShape::rectangle);
    EXPECT_TRUE(objects[2]->points.empty());

    const std::string broken = mapWith(std::string(tileset) + layer("Ground", "0,0,0,\n0,0,0\n") + R"(
 <objectgroup id="2" name="Paths">
  <object id="7" name="Lift" x="10" y="20"><polyline points="0,0 12"/></object>
 </objectgroup>)");
    EXPECT_NE(rejection(broken).find("malformed point list"), std::string::npos) << rejection(broken);
}
