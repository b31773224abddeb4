-- Kestrova's tilemaker 2.2 profile. It writes the OpenMapTiles-schema layers that the console's map
-- engine draws and searches: water, waterway, landcover, landuse, park, boundary, transportation,
-- transportation_name, building, place and poi. Every named feature carries `name` (the OSM name in
-- its own script, falling back to name:zh and name:en); roads, places and POIs carry `class`, POIs
-- and paths also `subclass`. Lower-class roads and smaller areas start at higher zoom levels.
--
-- tilemaker 2.2 calls the functions below with the OSM object as argument (obj:Find, obj:Layer...).
-- The sea is not in the OSM data: tools/build-map makes it from the coastline with osmcoastline and
-- adds it as a shapefile layer written to `water`, whose attributes come from attribute_function.

node_keys = { "place", "amenity", "shop", "tourism", "leisure", "historic", "office", "healthcare",
              "railway", "public_transport" }

local MIN_ZOOM = 6
local MAX_ZOOM = 14

local function set(list)
    local s = {}
    for _, v in ipairs(list) do s[v] = true end
    return s
end

-- Names -------------------------------------------------------------------------------------------

local function nameOf(obj)
    local name = obj:Find("name")
    if name == "" then name = obj:Find("name:zh") end
    if name == "" then name = obj:Find("name:en") end
    return name
end

local function writeName(obj, name)
    if name ~= "" then obj:Attribute("name", name) end
end

-- The zoom from which an area of this many square metres is at least a few pixels across
-- (256-pixel tiles; 156543 m per pixel at zoom 0 on the equator).
local function minZoomForArea(area)
    if area <= 0 then return MAX_ZOOM end
    local z = math.ceil(math.log(2.5 * 156543 / math.sqrt(area)) / math.log(2))
    if z < MIN_ZOOM then return MIN_ZOOM end
    if z > MAX_ZOOM then return MAX_ZOOM end
    return z
end

-- Places ------------------------------------------------------------------------------------------

local PLACE_ZOOM = {
    country = 6, state = 6, province = 6, city = 6, county = 7, town = 8,
    village = 10, municipality = 10, suburb = 11, borough = 11, city_district = 11, district = 11,
    hamlet = 12, quarter = 12, neighbourhood = 13, isolated_dwelling = 13, locality = 13, island = 10,
}

local function writePlace(obj, asCentroid)
    local kind = obj:Find("place")
    local zoom = PLACE_ZOOM[kind]
    local name = nameOf(obj)
    if zoom == nil or name == "" then return false end
    if asCentroid then obj:LayerAsCentroid("place") else obj:Layer("place", false) end
    obj:Attribute("class", kind)
    writeName(obj, name)
    obj:MinZoom(zoom)
    return true
end

-- Points of interest ------------------------------------------------------------------------------

-- OSM value -> OpenMapTiles poi class; values not listed use the OSM value itself.
local POI_CLASS = {
    fuel = "fuel", charging_station = "fuel",
    school = "school", kindergarten = "school", college = "college", university = "college",
    hospital = "hospital", clinic = "hospital", doctors = "doctors", dentist = "dentist",
    pharmacy = "pharmacy", chemist = "pharmacy",
    police = "police", fire_station = "fire_station", townhall = "town_hall", courthouse = "town_hall",
    post_office = "post", post_box = "post",
    bank = "bank", atm = "atm",
    restaurant = "restaurant", fast_food = "fast_food", food_court = "fast_food", cafe = "cafe",
    bar = "bar", pub = "beer", biergarten = "beer",
    place_of_worship = "place_of_worship", library = "library", theatre = "theatre", cinema = "cinema",
    bus_station = "bus", bus_stop = "bus", station = "railway", halt = "railway", tram_stop = "railway",
    parking = "parking", car_rental = "car", car_repair = "car", car_wash = "car", car = "car",
    convenience = "grocery", supermarket = "grocery", greengrocer = "grocery", deli = "grocery",
    bakery = "shop", mall = "shop", department_store = "shop",
    hotel = "lodging", motel = "lodging", hostel = "lodging", guest_house = "lodging",
    museum = "museum", attraction = "attraction", viewpoint = "attraction",
    park = "park", garden = "park", playground = "playground", sports_centre = "sports",
    stadium = "stadium", swimming_pool = "swimming",
}

-- Classes that are landmarks from zoom 12; the rest appear at 14.
local EARLY_POI = set { "hospital", "school", "college", "town_hall", "bus", "railway", "police",
                        "fire_station", "stadium" }

-- OSM keys that make a POI, in the order they are looked at.
local POI_KEYS = { "amenity", "shop", "tourism", "leisure", "historic", "office", "healthcare",
                   "railway", "public_transport" }
local RAILWAY_POI = set { "station", "halt", "tram_stop" }
local NOT_POI = set { "no", "bench", "waste_basket", "vending_machine", "parking_space",
                      "bicycle_parking", "motorcycle_parking", "parking_entrance", "recycling",
                      "grit_bin", "waste_disposal", "drinking_water", "shelter", "telephone",
                      "clock", "loading_dock" }

local function poiKind(obj)
    for _, key in ipairs(POI_KEYS) do
        local value = obj:Find(key)
        if value ~= "" and not NOT_POI[value] then
            if key == "railway" and not RAILWAY_POI[value] then return nil end
            if key == "public_transport" and value ~= "station" then return nil end
            local class = POI_CLASS[value]
            if class == nil then
                if key == "shop" then class = "shop" else class = value end
            end
            return class, value
        end
    end
    return nil
end

local function writePoi(obj, asCentroid)
    local name = nameOf(obj)
    if name == "" then return end
    local class, subclass = poiKind(obj)
    if class == nil then return end
    if asCentroid then obj:LayerAsCentroid("poi") else obj:Layer("poi", false) end
    obj:Attribute("class", class)
    obj:Attribute("subclass", subclass)
    writeName(obj, name)
    if EARLY_POI[class] then obj:MinZoom(12) else obj:MinZoom(14) end
end

function node_function(node)
    if node:Find("place") ~= "" then
        writePlace(node, false)
        return
    end
    writePoi(node, false)
end

-- Roads and railways ------------------------------------------------------------------------------

-- highway value -> { class, zoom of the line, zoom of the name, drawing order }
local ROADS = {
    motorway = { "motorway", 6, 10, 9 }, trunk = { "trunk", 6, 10, 8 },
    primary = { "primary", 7, 10, 7 }, secondary = { "secondary", 9, 11, 6 },
    tertiary = { "tertiary", 11, 12, 5 },
    unclassified = { "minor", 12, 13, 4 }, residential = { "minor", 12, 13, 4 },
    living_street = { "minor", 12, 13, 4 }, road = { "minor", 12, 13, 4 },
    busway = { "busway", 12, 13, 4 }, service = { "service", 13, 14, 3 },
    track = { "track", 14, 14, 2 }, pedestrian = { "path", 14, 14, 1 }, footway = { "path", 14, 14, 1 },
    path = { "path", 14, 14, 1 }, cycleway = { "path", 14, 14, 1 }, bridleway = { "path", 14, 14, 1 },
    steps = { "path", 14, 14, 1 }, corridor = { "path", 14, 14, 1 },
}
-- Links take their road's class, with ramp=1, and appear with the tertiary roads.
for _, base in ipairs({ "motorway", "trunk", "primary", "secondary", "tertiary" }) do
    ROADS[base .. "_link"] = { base, 11, 13, ROADS[base][4] }
end

local RAILWAYS = {
    rail = { "rail", 10 }, narrow_gauge = { "rail", 11 }, preserved = { "rail", 12 },
    subway = { "transit", 12 }, light_rail = { "transit", 12 }, monorail = { "transit", 12 },
    tram = { "transit", 13 },
}

local function brunnel(obj)
    local bridge, tunnel = obj:Find("bridge"), obj:Find("tunnel")
    if bridge ~= "" and bridge ~= "no" then return "bridge" end
    if tunnel ~= "" and tunnel ~= "no" then return "tunnel" end
    if obj:Find("ford") == "yes" then return "ford" end
    return ""
end

local function layerOrder(obj, base)
    local level = tonumber(obj:Find("layer")) or 0
    level = math.max(-5, math.min(5, level))
    return base + level * 10
end

local function writeRoad(way, highway)
    local road = ROADS[highway]
    if road == nil then return end
    local access = way:Find("access")
    if access == "private" or access == "no" then return end
    if way:Find("area") == "yes" then return end
    local class = road[1]

    way:Layer("transportation", false)
    way:Attribute("class", class)
    if class == "path" or class == "track" or class == "busway" then way:Attribute("subclass", highway) end
    if highway:find("_link$") then way:AttributeNumeric("ramp", 1) end
    local oneway = way:Find("oneway")
    if oneway == "yes" or oneway == "1" then way:AttributeNumeric("oneway", 1)
    elseif oneway == "-1" then way:AttributeNumeric("oneway", -1) end
    local b = brunnel(way)
    if b ~= "" then way:Attribute("brunnel", b) end
    if class == "service" then
        local service = way:Find("service")
        if service ~= "" then way:Attribute("service", service) end
    end
    way:MinZoom(road[2])
    way:ZOrder(layerOrder(way, road[4]))

    local name, ref = nameOf(way), way:Find("ref")
    if name ~= "" or ref ~= "" then
        way:Layer("transportation_name", false)
        writeName(way, name)
        way:Attribute("class", class)
        way:Attribute("subclass", highway)
        if ref ~= "" then way:Attribute("ref", ref) end
        way:MinZoom(road[3])
    end
end

local function writeRailway(way, railway)
    local rail = RAILWAYS[railway]
    if rail == nil or way:Find("service") ~= "" then return end
    way:Layer("transportation", false)
    way:Attribute("class", rail[1])
    way:Attribute("subclass", railway)
    local b = brunnel(way)
    if b ~= "" then way:Attribute("brunnel", b) end
    way:MinZoom(rail[2])
    way:ZOrder(layerOrder(way, 0))
end

-- Water, land use and land cover ------------------------------------------------------------------

local WATERWAYS = { river = 8, canal = 11, stream = 12, drain = 13, ditch = 13 }
local RIVER_WATER = set { "river", "canal", "stream", "oxbow", "riverbank", "stream_pool" }

local function waterClass(way)
    local natural, waterway, landuse, water = way:Find("natural"), way:Find("waterway"),
        way:Find("landuse"), way:Find("water")
    if waterway == "riverbank" or waterway == "dock" then
        return waterway == "dock" and "dock" or "river"
    end
    if natural == "water" or landuse == "reservoir" or landuse == "basin" then
        if RIVER_WATER[water] then return "river" end
        if water == "pond" then return "pond" end
        return "lake"
    end
    if way:Find("leisure") == "swimming_pool" then return "swimming_pool" end
    return nil
end

local LANDUSE = {
    residential = "residential", commercial = "commercial", retail = "retail", industrial = "industrial",
    railway = "railway", cemetery = "cemetery", military = "military", quarry = "quarry",
    garages = "garages", construction = "construction", brownfield = "brownfield",
}
local LANDUSE_AMENITY = set { "school", "university", "college", "kindergarten", "hospital", "grave_yard" }
local LANDUSE_LEISURE = set { "stadium", "pitch", "playground", "track", "theme_park", "zoo" }

local LANDCOVER = {
    wood = "wood", forest = "wood",
    grass = "grass", grassland = "grass", meadow = "grass", heath = "grass", scrub = "grass",
    village_green = "grass", recreation_ground = "grass", garden = "grass", golf_course = "grass",
    farmland = "farmland", farm = "farmland", orchard = "farmland", vineyard = "farmland",
    allotments = "farmland", plant_nursery = "farmland", greenhouse_horticulture = "farmland",
    wetland = "wetland", marsh = "wetland", sand = "sand", beach = "sand",
    bare_rock = "rock", scree = "rock", glacier = "ice",
}

local PARKS = { park = "park", nature_reserve = "nature_reserve", national_park = "national_park",
                protected_area = "protected_area" }

local function writeArea(way, layer, class, subclass)
    way:Layer(layer, true)
    way:Attribute("class", class)
    if subclass ~= nil and subclass ~= class then way:Attribute("subclass", subclass) end
    way:MinZoom(minZoomForArea(way:Area()))
end

-- Boundaries --------------------------------------------------------------------------------------

function relation_scan_function(relation)
    if relation:Find("type") == "boundary" and relation:Find("boundary") == "administrative" then
        relation:Accept()
    end
end

local function boundaryZoom(level)
    if level <= 4 then return 6 end
    if level <= 6 then return 8 end
    if level == 7 then return 10 end
    return 12
end

local function writeBoundary(way)
    local level, found = 99, false
    while true do
        local rel = way:NextRelation()
        if not rel then break end
        local l = tonumber(way:FindInRelation("admin_level"))
        if l ~= nil then level, found = math.min(level, l), true end
    end
    if way:Find("boundary") == "administrative" then
        local l = tonumber(way:Find("admin_level"))
        if l ~= nil then level, found = math.min(level, l), true end
    end
    if not found or way:Find("maritime") == "yes" then return end
    way:Layer("boundary", false)
    way:AttributeNumeric("admin_level", level)
    way:MinZoom(boundaryZoom(level))
end

-- Ways --------------------------------------------------------------------------------------------

function way_function(way)
    -- A boundary relation reaches here as an area; its member ways already drew the line.
    if way:Find("type") == "boundary" then return end

    local highway, railway, waterway = way:Find("highway"), way:Find("railway"), way:Find("waterway")
    local closed = way:IsClosed()

    writeBoundary(way)

    if highway ~= "" then writeRoad(way, highway) end
    if railway ~= "" then writeRailway(way, railway) end

    if WATERWAYS[waterway] and not closed then
        way:Layer("waterway", false)
        way:Attribute("class", waterway)
        local name = nameOf(way)
        writeName(way, name)
        local b = brunnel(way)
        if b ~= "" then way:Attribute("brunnel", b) end
        if way:Find("intermittent") == "yes" then way:AttributeNumeric("intermittent", 1) end
        local zoom = WATERWAYS[waterway]
        if waterway == "river" and name == "" then zoom = 11 end
        way:MinZoom(zoom)
    end

    if not closed then return end

    local water = waterClass(way)
    if water ~= nil then
        writeArea(way, "water", water)
        if way:Find("intermittent") == "yes" then way:AttributeNumeric("intermittent", 1) end
    end

    local landuse, amenity, leisure, natural = way:Find("landuse"), way:Find("amenity"),
        way:Find("leisure"), way:Find("natural")
    local boundary = way:Find("boundary")

    if LANDUSE[landuse] then
        writeArea(way, "landuse", LANDUSE[landuse], landuse)
    elseif LANDUSE_AMENITY[amenity] then
        writeArea(way, "landuse", amenity)
    elseif LANDUSE_LEISURE[leisure] then
        writeArea(way, "landuse", leisure)
    end

    local cover = LANDCOVER[natural] or LANDCOVER[landuse] or LANDCOVER[leisure]
    if cover ~= nil and water == nil then
        local subclass = (LANDCOVER[natural] and natural) or (LANDCOVER[landuse] and landuse) or leisure
        writeArea(way, "landcover", cover, subclass)
    end

    local park = PARKS[leisure] or PARKS[boundary]
    if park ~= nil then
        writeArea(way, "park", park)
        writeName(way, nameOf(way))
    end

    local building = way:Find("building")
    if building ~= "" and building ~= "no" then
        way:Layer("building", true)
        way:MinZoom(13)
    end

    -- Named areas that are places or points of interest get a labelled point at their centre.
    if way:Find("place") ~= "" then
        writePlace(way, true)
    else
        writePoi(way, true)
    end
end

-- The sea's water polygons (the only shapefile layer) -------------------------------------------

function attribute_function(attr, layer)
    return { class = "ocean" }
end
