<?xml version="1.0"?>
<tileset name="broken" tilewidth="16"><image source="../tiles.png"/>
